#ifndef KX_GLTF_GLTFMATERIALS_H
#define KX_GLTF_GLTFMATERIALS_H

// How the game's materials stand in propbridge's glTF files. A material's base texture is the
// base colour texture and its light-map texture the occlusion texture (on the second texture
// co-ordinate set); each texture names its .dds file through the MSFT_texture_dds extension.
// Everything else glTF has no words for (the reflective and specular textures, the twenty
// settings bytes) travels in the material's extras, so that a model exported and imported
// again gives the same materials:
//   "extras": {"reelmara": {"textures": ["base.dds", "", "light.dds", ""],
//                           "settings": "0001010000000000000000000400000096969600FF000000"}}
// (the settings as two hex digits per byte, bytes 4 to 23 of the material record).

#include <cstdint>
#include <string>

extern const char *const kGltfDdsExtension;    // "MSFT_texture_dds"
extern const char *const kGltfMaterialExtras;  // "reelmara"
extern const char *const kGltfExtrasTextures;  // "textures"
extern const char *const kGltfExtrasSettings;  // "settings"

// Number of settings bytes carried (material record bytes 4 to 23).
constexpr int kGltfSettingsSize = 20;

// A texture file name as a relative URI: every byte that a URI may not hold as it is
// (blanks, '%', '#', '?', '\', non-ASCII ...) written as %XX.
std::string gltfTextureUri(const char *name);
// The texture file name an image URI names: %XX sequences decoded, folder parts dropped.
std::string gltfTextureNameOfUri(const std::string &uri);

// Texture names as the game wants them. The game loads .dds pictures: a name that ends in
// ".dds" (in any case) is the game's; any other keeps its base name with ".dds" ("cushion.png"
// and "cushion" both become "cushion.dds").
bool gltfIsDdsName(const std::string &name);
std::string gltfDdsName(const std::string &name);
// Whether two names give the game the same texture: their .dds names alike but for case, as
// the game's file system compares them ("wood.png" and "WOOD.dds" do).
bool gltfSameTexture(const std::string &a, const std::string &b);
// A name without the ".001", ".002" ... that editors add to a name used twice ("glass.dds.001"
// is "glass.dds"): a dot and three or more digits at the end are left out.
std::string gltfWithoutCopySuffix(const std::string &name);

// The settings bytes as hex text, and back; false (and `settings` unchanged) for a text that
// is not exactly kGltfSettingsSize bytes of hex digits.
std::string gltfSettingsText(const uint8_t *settings);
bool gltfSettingsFromText(const std::string &text, uint8_t *settings);

#endif
