// What the tools say about input that is not what they take: a file named as a mesh that is no
// MSH file (a glTF model, binary or JSON, or bytes of nothing in particular) is called so, and a
// glTF model is pointed to propbridge; names and texts from files and command lines never put
// bytes on the console that a terminal would act on (escape sequences, raw binary).

#include "ToolHarness.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

const char *const kGltfJson =
    "{\n  \"asset\": {\"version\": \"2.0\"},\n  \"scene\": 0,\n  \"scenes\": [{\"nodes\": []}]\n}\n";

void putWord(std::string &bytes, uint32_t value) {
    for (int i = 0; i < 4; i++) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A binary glTF model: the 12-byte header and one JSON chunk holding `json`.
std::string glb(std::string json) {
    while (json.size() % 4) json += ' ';
    std::string bytes = "glTF";
    putWord(bytes, 2);
    putWord(bytes, static_cast<uint32_t>(12 + 8 + json.size()));
    putWord(bytes, static_cast<uint32_t>(json.size()));
    bytes += "JSON";
    return bytes + json;
}

std::string noise() {
    std::mt19937 random(25);
    std::string bytes;
    for (int i = 0; i < 3000; i++) bytes += static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string setDressing(const std::string &prop) {
    return "set=041\r\n[0]\r\nname=" + prop + "\r\nposition.x=0\r\nposition.y=0\r\nposition.z=0\r\nangle=0\r\n";
}

struct MessageCase {
    const char *title;
    const char *tool;
    std::vector<std::string> arguments;
    std::vector<std::string> output;  // parts of standard output, in this order
    std::vector<std::string> errors;  // parts of standard error
};

void PrintTo(const MessageCase &c, std::ostream *os) { *os << c.title; }

const std::string kNotMsh = "The file is not an MSH file: ";
const std::string kGltf = kNotMsh + "it is a glTF model (JSON text); propbridge import turns it into a prop";
const std::string kGlb = kNotMsh + "it is a binary glTF model (GLB); propbridge import turns it into a prop";
const std::string kNoise = kNotMsh + "its header gives ";

const std::vector<MessageCase> &messageCases() {
    static const std::vector<MessageCase> cases = {
        {"meshlisterGltf", "meshlister", {"model.msh"}, {"Could not load mesh file model.msh\n"},
         {"meshlister: model.msh: " + kGltf + " (found in the content folder "}},
        {"meshlisterGlb", "meshlister", {"binary.msh"}, {"Could not load mesh file binary.msh\n"},
         {"meshlister: binary.msh: " + kGlb + " (found in the content folder "}},
        {"meshlisterNoise", "meshlister", {"noise.msh"}, {"Could not load mesh file noise.msh\n"},
         {"meshlister: noise.msh: " + kNoise}},
        {"propcarverGltf", "propcarver", {"model.msh", "x", "-g", "0"}, {"Error : " + kGltf + "\n"},
         {"model.msh: " + kGltf + "\n"}},
        {"propcarverGlb", "propcarver", {"binary.msh", "x", "-g", "0"}, {"Error : " + kGlb + "\n"},
         {"binary.msh: " + kGlb + "\n"}},
        {"propbenderNoise", "propbender", {"noise.msh", "x"}, {"Error : " + kNoise}, {"noise.msh: " + kNoise}},
        {"propbridgeExportGlb", "propbridge", {"export", "binary.msh"}, {"Could not load mesh file binary.msh\n"},
         {"propbridge: binary.msh: " + kGlb}},
        // Bytes a terminal acts on, from a command line and from files, are shown escaped.
        {"meshlisterNameWithEscapes", "meshlister", {"x\x1b[31m\x07.msh"},
         {"Could not load mesh file x\\x1B[31m\\x07.msh\n"}, {"meshlister: x\\x1B[31m\\x07.msh: not found in "}},
        {"dresscasterPropNameWithEscapes", "dresscaster", {"odd.ini"},
         {"Prop MSH file could not be found (p_\\x1B[2Jodd\\x7F)\n"}, {"dresscaster: p_\\x1B[2Jodd\\x7F: "}},
        {"propbridgeBrokenGlb", "propbridge", {"import", "broken.glb", "y"}, {"Could not load glTF file broken.glb\n"},
         {"propbridge: broken.glb: not a valid glTF file: "}},
    };
    return cases;
}

// The bytes of `text` that are no printable character of a UTF-8 console ("" when there are none).
std::string unprintable(const std::string &text, bool utf8) {
    std::string found;
    for (size_t i = 0; i < text.size(); i++) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n' || (byte >= 0x20 && byte < 0x7F)) continue;
        if (byte >= 0x80 && !utf8) continue;
        size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
        bool sequence = length > 0 && i + length <= text.size();
        for (size_t k = 1; sequence && k < length; k++) sequence = (text[i + k] & 0xC0) == 0x80;
        if (sequence && !(byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0)) {
            i += length - 1;
            continue;
        }
        found += "\\x" + std::to_string(byte) + " at " + std::to_string(i) + "; ";
    }
    return found;
}

class ToolMessages : public ::testing::TestWithParam<MessageCase> {};

}  // namespace

TEST_P(ToolMessages, nameTheTrueCauseAndEchoNothingATerminalActsOn) {
    const MessageCase &c = GetParam();
    FakeInstall install;
    install.addContentFile("data/meshes/model.msh", kGltfJson);
    install.addContentFile("data/meshes/binary.msh", glb(kGltfJson));
    install.addContentFile("data/meshes/noise.msh", noise());
    install.addRootFile("work/odd.ini", setDressing("p_\x1b[2Jodd\x7f"));
    // tinygltf quotes the broken JSON: an escape sequence and a byte that is no UTF-8.
    install.addRootFile("work/broken.glb", glb("{\"asset\x1b[2J\xff\": 1}"));

    ToolRun run = std::string(c.tool) == "dresscaster" ? install.runByName(c.tool, c.arguments)
                                                       : install.run(c.tool, c.arguments);
    expectToolRun(run, 1, c.output);
    for (const std::string &part : c.errors)
        EXPECT_NE(std::string::npos, run.errors.find(part)) << "stderr lacks: " << part << "\n" << run.errors;
#ifdef _WIN32
    const bool utf8 = false;  // the ANSI code page: every byte from 0x80 up is a character
#else
    const bool utf8 = true;
#endif
    EXPECT_EQ("", unprintable(run.output, utf8)) << run.output;
    EXPECT_EQ("", unprintable(run.errors, utf8)) << run.errors;
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolMessages, ::testing::ValuesIn(messageCases()),
                         [](const ::testing::TestParamInfo<MessageCase> &info) { return info.param.title; });
