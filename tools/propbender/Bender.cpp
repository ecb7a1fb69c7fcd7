#include "Bender.h"

#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "ToolFrame.h"

#include <memory>

Bender::Bender() = default;
Bender::~Bender() = default;

// ---------------------------------------------------------------------------------------
// Reading the command line

void Bender::takeWord(const char *word) {
    const BenderOption *option = findBenderOption(word);
    if (option) {
        takeOption(*option);
    } else if (!pending) {
        takePositional(word);
    } else if (arguments.add(word)) {
        const BenderOption *done = pending;
        pending = nullptr;
        apply(*done);
    }
}

void Bender::takeOption(const BenderOption &option) {
    if (pending) arguments.reportAbandoned(option.name);
    pending = nullptr;
    if (option.action == BEND_BONES) {
        settings.keepBones(input, &prop);
        return;
    }
    pending = &option;
    arguments.begin(option.name, option.words);
}

void Bender::takePositional(const char *word) {
    bool loaded = input.getMeshFile() != nullptr;
    input.takePositional(word);
    if (loaded) return;
    // The whole model: every group as it is, with all its meshes.
    KxRlMeshFile *file = input.getMeshFile();
    for (int g = 0; g < file->getMeshGroupCount(); g++) {
        std::unique_ptr<KxRlMeshGroupRef> ref(new KxRlMeshGroupRef(file, g));
        prop.addMeshGroupRef(ref.get());
        ref.release();
    }
}

// ---------------------------------------------------------------------------------------
// Options with words

void Bender::apply(const BenderOption &option) {
    const char *word = arguments.getWord(0);
    switch (option.action) {
    case BEND_NEWDATA:
    case BEND_WORKDATA:
        applyGlobalOption(globalOptionOf(option.name), word);
        break;
    case BEND_CATEGORY:
        readCategory(word, &category);
        break;
    case BEND_REPLACE_TEXTURE:
        // The words live for the whole run, as the prop's replacement list needs.
        if (acceptNewTextureName(option.name, arguments.getWord(1), true))
            prop.replaceBitmap(word, textureNameOf(arguments.getWord(1)));
        break;
    case BEND_LIGHTMAP:
        // The light-map words are names as they stand: "null" is a texture of that name here.
        if (acceptNewTextureName(option.name, word, false)) lightMap = word;
        break;
    case BEND_LIGHTMAP_ALL:
        if (acceptNewTextureName(option.name, word, false)) lightMapAll = word;
        break;
    case BEND_CENTRE:
        applyTransformOption(settings.getTransforms(), TRANSFORM_CENTRE, option.axis, arguments, "prop");
        break;
    case BEND_SCALE:
        applyTransformOption(settings.getTransforms(), TRANSFORM_SCALE, option.axis, arguments, "prop");
        break;
    case BEND_ROTATE:
        applyTransformOption(settings.getTransforms(), TRANSFORM_ROTATE, option.axis, arguments, "prop");
        break;
    case BEND_CLIP:
        applyClip();
        break;
    case BEND_BONES:  // acts at once
        break;
    }
}

void Bender::applyClip() {
    const char *bad = "";
    if (!arguments.allFloats(&bad)) {
        toolError("Error with -cl option : Invalid number: clip region will not be applied\n");
        reportBadNumber("-cl", bad);
        return;
    }
    KxDClipRegion3D box = clipBoxOf(arguments);
    settings.addClipBox(&box);
}

// ---------------------------------------------------------------------------------------
// The end of the run

void Bender::applyLightMaps() {
    const char *name = lightMapAll ? lightMapAll : lightMap;
    if (!name) return;
    for (int r = 0; r < prop.getMeshGroupRefCount(); r++) {
        KxRlMeshGroup *group = prop.getMeshGroupRef(r)->getMeshGroup();
        for (int m = 0; m < group->getMeshCount(); m++) {
            KxRlMeshMaterial *material = group->getMesh(m)->getMaterial();
            if (!material) continue;
            // A slot naming an empty file holds no texture either.
            const KxRlMeshBitmap *current = material->getBitmap(2);
            bool hasLightMap = current && current->getFilename()[0] != '\0';
            if (lightMapAll || !hasLightMap) material->setBitmap(2, name);
        }
    }
}

void Bender::finish() {
    if (pending) toolMissingValue(pending->name);
    if (!readyToExport(input)) return;
    settings.pushOnto(&prop, true);
    applyLightMaps();
    exportPropAndReport(input, &prop, category);
}
