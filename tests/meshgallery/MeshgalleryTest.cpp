// meshgallery end to end: galleries of a small game made in a fake installation, checked file by
// file here and handed to the browser test (browser.mjs), which opens them in Chromium.

#include "GalleryGame.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "PakWriter.h"
#include "ToolHarness.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const std::string kHostileName = "<img src=x onerror=alert(1)>.msh";
// Windows file names cannot hold '<' and '>': there the archive entry of that name cannot be
// extracted, so its card says it is damaged (with the name as text).
#ifdef _WIN32
const bool kHostileReadable = false;
#else
const bool kHostileReadable = true;
#endif
const int kDamaged = kHostileReadable ? 1 : 2;
const std::string kHostileTexture = "<script>alert(2)</script>.dds";
const char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The game: a chair of five boxes (four in one mesh, the last inside the box of the third) and a prop of the maker's own as loose
// files, a lamp and a mesh with hostile names in an archive, and a file cut short.
void makeGame(FakeInstall &install) {
    install.addGameFile("data/meshes/p_chair.msh",
                        boxesFile({{"chair",
                                    {{"wood.dds", {{0, 0, 0, 1, 1, 1}, {2, 0, 0, 3, 1, 1}, {4, 0, 0, 5, 2, 3}, {4.2f, 0.2f, 0.2f, 4.4f, 0.4f, 0.4f}}},
                                     {"cloth.dds", {{0, 3, 0, 5, 5, 1}}}}}}));
    install.addRootFile("mods/data/meshes/p_mine.msh", boxesFile({{"mine", {{"mine.dds", {{0, 0, 0, 2, 2, 2}}}}}}));
    install.addGameFile("data/meshes/p_broken.msh", boxesFile({{"broken", {{"wood.dds", {{0, 0, 0, 1, 1, 1}}}}}}).substr(0, 90));
    PakWriter pak;
    pak.add("data\\meshes\\", "p_lamp.msh",
            boxesFile({{"lamp", {{"brass.dds", {{0, 0, 0, 1, 1, 6}, {0, 0, 6.5f, 2, 2, 8}}}}},
                       {"base", {{"brass.dds", {{0, 0, 0, 3, 3, 0.5f}}}}}}),
            PakWriter::COMPRESSED);
    pak.add("data\\meshes\\", kHostileName,
            boxesFile({{"<b>group</b>", {{kHostileTexture, {{0, 0, 0, 1, 1, 1}, {3, 3, 3, 4, 4, 4}}}}}}),
            PakWriter::COMPRESSED);
    install.addPak("base.pak", pak);
}

std::vector<std::string> galleryArguments(const FakeInstall &install, std::vector<std::string> more) {
    std::vector<std::string> arguments = {"-newdata", install.root() + "/mods", "*.msh"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

// Every file below `folder` with its bytes, by path relative to it.
std::map<std::string, std::string> filesBelow(const std::string &folder) {
    std::map<std::string, std::string> files;
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[fs::relative(entry.path(), folder).generic_string()] = bytes.str();
    }
    return files;
}

json catalogueOf(const FakeInstall &install, const std::string &file = "gallery/catalogue.json") {
    return json::parse(install.readWorkFile(file));
}

// The first vertices of the objects of every mesh of `name` as meshlister reports them ("<group>
// <mesh> <vertex>"); a mesh that meshlister does not list is one object from vertex 0.
std::vector<std::string> meshlisterObjects(const FakeInstall &install, const std::string &name, const json &entry) {
    std::vector<std::string> arguments = {"-r", "objects.txt", name};
    if (fs::is_directory(install.root() + "/mods")) arguments.insert(arguments.begin(), {"-newdata", install.root() + "/mods"});
    ToolRun run = install.run("meshlister", arguments);
    EXPECT_EQ(0, run.status) << run.output << run.errors;
    std::string report = withoutCarriageReturns(install.readWorkFile("objects.txt"));
    std::vector<std::string> objects;
    for (size_t g = 0; g < entry["groups"].size(); g++) {
        for (size_t m = 0; m < entry["groups"][g]["meshes"].size(); m++) {
            std::string head = "Group #" + std::to_string(g) + ", Mesh #" + std::to_string(m) +
                               ": Has multiple 3D objects!\n  Traverse the following vertices: ";
            size_t at = report.find(head);
            std::vector<std::string> vertices = {"0"};
            if (at != std::string::npos) {
                std::istringstream listed(report.substr(at + head.size(), report.find('\n', at + head.size()) - at - head.size()));
                vertices.clear();
                for (std::string v; listed >> v;) vertices.push_back(v);
            }
            for (const std::string &v : vertices) objects.push_back(std::to_string(g) + " " + std::to_string(m) + " " + v);
        }
    }
    return objects;
}

std::string htmlUnescaped(std::string text) {
    const std::pair<const char *, const char *> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto &e : entities)
        for (size_t at; (at = text.find(e.first)) != std::string::npos;) text.replace(at, std::strlen(e.first), e.second);
    return text;
}

// A box of the catalogue, up to the 16-bit quantisation of the positions.
void expectBox(const std::vector<float> &expected, const json &box) {
    ASSERT_EQ(expected.size(), box.size());
    for (size_t i = 0; i < expected.size(); i++) EXPECT_NEAR(expected[i], box[i].get<float>(), 1e-3) << i;
}

// The words of a command line as a POSIX shell splits them (double and single quotes).
std::vector<std::string> shellWords(const std::string &line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (size_t i = 0; i < line.size(); i++) {
        char c = line[i];
        if (c == ' ') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else if (c == '"' || c == '\'') {
            size_t end = line.find(c, i + 1);
            word += line.substr(i + 1, end - i - 1);
            i = end;
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// The words of every command line offered on a page that starts with `tool`.
std::vector<std::vector<std::string>> offeredCommands(const std::string &page, const std::string &tool) {
    std::vector<std::vector<std::string>> commands;
    const std::string open = "<code>" + tool + " ";
    for (size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1)) {
        size_t end = page.find("</code>", at);
        std::vector<std::string> command = shellWords(htmlUnescaped(page.substr(at + 6, end - at - 6)));
        commands.push_back(std::vector<std::string>(command.begin() + 1, command.end()));
    }
    return commands;
}

std::string fromBase64(const std::string &text) {
    std::string bytes;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const char *digit = std::strchr(kBase64Digits, c);
        if (c == '=' || !digit || !c) break;
        bits = bits << 6 | static_cast<uint32_t>(digit - kBase64Digits);
        if ((count += 6) >= 8) bytes += static_cast<char>(bits >> (count -= 8) & 0xFF);
    }
    return bytes;
}

// The JSON chunk (without the generator's name, which names the program) and the binary chunk of
// a glTF binary.
std::pair<json, std::string> glbChunks(const std::string &glb) {
    auto word = [&glb](size_t at) {
        uint32_t value = 0;
        for (int i = 3; i >= 0; i--) value = value << 8 | static_cast<unsigned char>(glb.at(at + i));
        return value;
    };
    uint32_t jsonLength = word(12);
    json model = json::parse(glb.substr(20, jsonLength));
    model["asset"].erase("generator");
    std::string bin = glb.size() > 28 + jsonLength ? glb.substr(28 + jsonLength, word(20 + jsonLength)) : "";
    return {model, bin};
}

// Where the galleries for the browser test go, as this program sees the build folder.
std::string browserGallery(const std::string &name) {
    return (fs::path(buildFolderPath(KX_BROWSER_GALLERIES)) / name).string();
}

// Copies a gallery made in `install` for the browser test, with what a user must see there.
void keepForBrowser(const FakeInstall &install, const std::string &name, const json &expectations) {
    fs::remove_all(browserGallery(name));
    fs::create_directories(browserGallery(name));
    fs::copy(install.workFile("gallery"), browserGallery(name), fs::copy_options::recursive);
    std::ofstream(browserGallery(name) + "/browser-expectations.json") << expectations.dump(1);
}

}  // namespace

TEST(Meshgallery, showsEveryMeshOfTheGameWithTheObjectsMeshlisterFinds) {
    FakeInstall install;
    makeGame(install);
    ToolRun run = install.run("meshgallery", galleryArguments(install, {"-j", "2"}));
    expectToolRun(run, 1, {"Could not load mesh file p_broken.msh\n", "Drawing mesh file p_chair.msh...\n",
                           "Gallery of 5 mesh files (" + std::to_string(5 - kDamaged) + " drawn, 0 unchanged, " +
                               std::to_string(kDamaged) + " damaged)"});
    EXPECT_NE(std::string::npos, run.errors.find("meshgallery: p_broken.msh: ")) << run.errors;

    json catalogue = catalogueOf(install);
    ASSERT_EQ(5u, catalogue["meshes"].size());
    std::vector<std::string> names;
    for (const json &m : catalogue["meshes"]) names.push_back(m["name"]);
    EXPECT_EQ((std::vector<std::string>{kHostileName, "p_broken.msh", "p_chair.msh", "p_lamp.msh", "p_mine.msh"}), names);
    const json &chair = catalogue["meshes"][2];
    EXPECT_EQ("game", chair["source"]["kind"]);
    EXPECT_TRUE(chair["damaged"].is_null());
    expectBox({0, 0, 0, 5, 5, 3}, chair["box"]);
    EXPECT_EQ((std::vector<std::string>{"wood.dds", "", "", ""}), chair["groups"][0]["meshes"][0]["textures"]);
    EXPECT_EQ(48, chair["groups"][0]["meshes"][0]["triangles"]);
    EXPECT_EQ(32, chair["groups"][0]["meshes"][0]["vertices"]);
    const json &third = chair["groups"][0]["meshes"][0]["objects"][2];
    EXPECT_EQ(16, third["first_vertex"]);
    EXPECT_EQ(8, third["vertices"]);
    EXPECT_EQ(12, third["triangles"]);
    expectBox({4, 0, 0, 5, 2, 3}, third["box"]);
    EXPECT_EQ(24, third["carved_triangles"]);  // the box inside it goes with it
    EXPECT_EQ("archive", catalogue["meshes"][3]["source"]["kind"]);
    EXPECT_NE(std::string::npos, catalogue["meshes"][3]["source"]["path"].get<std::string>().find("base.pak"));
    EXPECT_EQ("newdata", catalogue["meshes"][4]["source"]["kind"]);
    EXPECT_FALSE(catalogue["meshes"][1]["damaged"].is_null());
    EXPECT_NE(std::string::npos, catalogue["meshes"][1]["damaged"].get<std::string>().find("truncated"));

    std::string index = install.readWorkFile("gallery/index.html");
    EXPECT_NE(std::string::npos, index.find("data-mesh=\"p_chair.msh\""));
    EXPECT_NE(std::string::npos, index.find("class=\"card damaged\" data-mesh=\"p_broken.msh\""));
    for (const std::string &hostile : {kHostileName, kHostileTexture, std::string("<b>group</b>")}) {
        EXPECT_EQ(std::string::npos, index.find(hostile)) << hostile;
        for (const json &m : catalogue["meshes"]) {
            if (m["page"].is_null()) continue;
            EXPECT_EQ(std::string::npos, install.readWorkFile("gallery/" + m["page"].get<std::string>()).find(hostile));
        }
    }
    EXPECT_NE(std::string::npos, index.find("&lt;img src=x onerror=alert(1)&gt;.msh"));

    // Each mesh page lists the objects meshlister finds, in its order; the browser test checks
    // the same in Chromium.
    json pages = json::object();
    for (const json &m : catalogue["meshes"]) {
        if (m["page"].is_null()) continue;
        std::vector<std::string> objects = meshlisterObjects(install, m["name"], m);
        std::vector<std::string> fromCatalogue;
        for (size_t g = 0; g < m["groups"].size(); g++)
            for (size_t k = 0; k < m["groups"][g]["meshes"].size(); k++)
                for (const json &o : m["groups"][g]["meshes"][k]["objects"])
                    fromCatalogue.push_back(std::to_string(g) + " " + std::to_string(k) + " " +
                                            std::to_string(o["first_vertex"].get<int>()));
        EXPECT_EQ(objects, fromCatalogue) << m["name"];
        pages[m["name"].get<std::string>()] = objects;
        std::string page = install.readWorkFile("gallery/" + m["page"].get<std::string>());
        for (const std::string &object : objects)
            EXPECT_NE(std::string::npos, page.find("data-object=\"" + object + "\"")) << m["name"] << " " << object;
    }

    json expectations = {{"cards", 5},
                         {"searches", {{{"query", "CHAIR"}, {"matches", {"p_chair.msh"}}},
                                       {{"query", "brass"}, {"matches", {"p_lamp.msh"}}},
                                       {{"query", "script"},
                                        {"matches", kHostileReadable ? json::array({kHostileName}) : json::array()}},
                                       {{"query", "p_ mine"}, {"matches", {"p_mine.msh"}}},
                                       {{"query", "no such texture"}, {"matches", json::array()}}}},
                         {"hostileNames", {kHostileName, "p_chair.msh"}},
                         {"hostileTextures", json::array()},
                         {"pages", pages},
                         {"views", {{"p_chair.msh", {{"object", "0 0 16"}, {"mesh", "0 1"}}}}},
                         {"screenshots", "game"}};
    // Where the hostile entry cannot be extracted its textures are not known.
    EXPECT_EQ(kHostileReadable, catalogue["meshes"][0]["damaged"].is_null());
    if (kHostileReadable) expectations["hostileTextures"].push_back(kHostileTexture);
    keepForBrowser(install, "game", expectations);
}

// The example game of the demo, as a user first sees it.
TEST(Meshgallery, showsTheExampleGame) {
    FakeInstall install;
    ToolRun made = install.run("make_example_game", {install.root()});
    ASSERT_EQ(0, made.status) << made.output << made.errors;
    ToolRun run = install.run("meshgallery", {"*.msh"});
    expectToolRun(run, 0, {"Gallery of 5 mesh files (5 drawn, 0 unchanged, 0 damaged)"});
    json catalogue = catalogueOf(install);
    json pages = json::object();
    for (const json &m : catalogue["meshes"]) pages[m["name"].get<std::string>()] = meshlisterObjects(install, m["name"], m);
    EXPECT_EQ((std::vector<std::string>{"0 0 0", "0 0 24", "0 0 48", "0 0 72", "0 0 96"}), pages["p_demo_table.msh"]);
    keepForBrowser(install, "example",
                   {{"cards", 5},
                    {"searches", {{{"query", "shelf"}, {"matches", {"p_demo_shelf.msh"}}},
                                  {{"query", "demo_frame"}, {"matches", {"p_demo_door.msh", "p_demo_window.msh"}}},
                                  {{"query", "Lamp_Shade"}, {"matches", {"p_demo_lamp.msh"}}}}},
                    {"pages", pages},
                    {"views", {{"p_demo_table.msh", {{"object", "0 0 24"}}}}},
                    {"screenshots", "example"}});
}

// Every command line a page offers carves exactly its object: the triangles the catalogue
// says carving by the box takes (the object's own where nothing else lies in its box).
TEST(Meshgallery, theOfferedCommandLinesCarveTheirObjects) {
    FakeInstall install;
    makeGame(install);
    ToolRun run = install.run("meshgallery", galleryArguments(install, {}));
    ASSERT_EQ(1, run.status) << run.output << run.errors;  // the broken file
    json catalogue = catalogueOf(install);
    int carved = 0, exact = 0;
    for (const json &m : catalogue["meshes"]) {
        if (m["page"].is_null()) continue;
        std::string page = install.readWorkFile("gallery/" + m["page"].get<std::string>());
        std::vector<std::vector<std::string>> commands = offeredCommands(page, "propcarver");
        int notes = 0;
        std::vector<const json *> objects;
        for (const json &g : m["groups"])
            for (const json &k : g["meshes"])
                for (const json &o : k["objects"]) objects.push_back(&o);
        ASSERT_EQ(objects.size(), commands.size()) << m["name"];
        for (size_t i = 0; i < commands.size(); i++) {
            ToolRun carve = install.run("propcarver", commands[i]);
            ASSERT_EQ(0, carve.status) << carve.output << carve.errors;
            std::string prop = "p_" + commands[i][3];  // -newdata folder, file, name
            std::unique_ptr<KxRlMeshFile> file(
                KxRlMeshFile::CreateFromFile(install.workFile(prop + "/data/meshes/" + prop + ".msh").c_str()));
            int triangles = 0;
            for (int g = 0; g < file->getMeshGroupCount(); g++)
                for (int k = 0; k < file->getMeshCount(g); k++) triangles += file->getMesh(g, k)->getIndexCount() / 3;
            EXPECT_EQ((*objects[i])["carved_triangles"].get<int>(), triangles) << prop;
            // The object's own triangles, and more only where the page says so.
            int own = (*objects[i])["triangles"].get<int>();
            if (own == triangles) exact++;
            else notes++;
            carved++;
        }
        size_t noted = 0;
        for (size_t at = page.find("carving by the box takes them too"); at != std::string::npos;
             at = page.find("carving by the box takes them too", at + 1))
            noted++;
        EXPECT_EQ(static_cast<size_t>(notes), noted) << m["name"];
        std::vector<std::vector<std::string>> listers = offeredCommands(page, "meshlister");
        ASSERT_EQ(1u, listers.size());
        EXPECT_EQ((std::vector<std::string>{"-newdata", install.root() + "/mods", "-xo", m["name"]}), listers[0]);
    }
    EXPECT_EQ(kHostileReadable ? 11 : 9, carved);
    EXPECT_EQ(kHostileReadable ? 10 : 8, exact);
}

// The model of each page's 3D view is the model propbridge exports, and says which group, mesh
// and object each primitive and vertex is, as the page lists them.
TEST(Meshgallery, theViewsModelIsWhatPropbridgeExports) {
    FakeInstall install;
    makeGame(install);
    ASSERT_EQ(1, install.run("meshgallery", galleryArguments(install, {})).status);
    json catalogue = catalogueOf(install);
    int models = 0;
    for (const json &m : catalogue["meshes"]) {
        if (m["page"].is_null()) continue;
        const std::string name = m["name"], page = m["page"];
        std::string script = install.readWorkFile("gallery/" + page.substr(0, page.size() - 5) + "/model.js");
        const std::string head = "window.meshGalleryModel = ";
        size_t start = script.find(head), end = script.rfind(';');
        ASSERT_NE(std::string::npos, start) << name;
        json model = json::parse(script.substr(start + head.size(), end - start - head.size()));
        const std::string glb = fromBase64(model["glb"]);

        ToolRun exported = install.run("propbridge", {"export", "-newdata", install.root() + "/mods", name, "-glb",
                                                      "-o", "exports"});
        ASSERT_EQ(0, exported.status) << exported.output << exported.errors;
        std::string expected = install.readWorkFile("exports/" + name.substr(0, name.size() - 4) + ".glb");
        EXPECT_EQ(glbChunks(expected).first, glbChunks(glb).first) << name;
        EXPECT_TRUE(glbChunks(expected).second == glbChunks(glb).second) << name;
        EXPECT_LT(script.size(), glb.size() * 4 / 3 + 1024) << name;

        // One part per mesh, with its objects' first vertices and, through the runs, their vertices.
        const json &parts = model["parts"];
        size_t part = 0;
        for (size_t g = 0; g < m["groups"].size(); g++)
            for (size_t k = 0; k < m["groups"][g]["meshes"].size(); k++, part++) {
                ASSERT_LT(part, parts.size()) << name;
                EXPECT_EQ(g, parts[part]["group"].get<size_t>());
                EXPECT_EQ(k, parts[part]["mesh"].get<size_t>());
                const json &objects = m["groups"][g]["meshes"][k]["objects"];
                std::vector<int> firstVertices, vertices(objects.size());
                for (const json &o : objects) firstVertices.push_back(o["first_vertex"]);
                EXPECT_EQ(firstVertices, parts[part]["objects"].get<std::vector<int>>()) << name;
                std::vector<int> runs = parts[part]["runs"];
                const int total = m["groups"][g]["meshes"][k]["vertices"];
                for (size_t r = 0; r + 1 < runs.size(); r += 2)
                    vertices.at(runs[r + 1]) += (r + 2 < runs.size() ? runs[r + 2] : total) - runs[r];
                for (size_t o = 0; o < objects.size(); o++)
                    EXPECT_EQ(objects[o]["vertices"].get<int>(), vertices[o]) << name << " object " << o;
            }
        EXPECT_EQ(part, parts.size()) << name;
        models++;
    }
    EXPECT_EQ(kHostileReadable ? 4 : 3, models);
}

TEST(Meshgallery, drawsTheSameWhateverTheThreadsAndOnlyWhatChangedWhenRunAgain) {
    FakeInstall install;
    makeGame(install);
    ASSERT_EQ(1, install.run("meshgallery", galleryArguments(install, {"-j", "1", "-o", "one"})).status);
    ASSERT_EQ(1, install.run("meshgallery", galleryArguments(install, {"-j", "4", "-o", "four"})).status);
    std::map<std::string, std::string> one = filesBelow(install.workFile("one")), four = filesBelow(install.workFile("four"));
    for (const char *made : {"index.html", "catalogue.json", "meshes/p_chair.html", "meshes/p_chair/objects0.png",
                             "meshes/p_lamp.html", "meshes/p_mine/model.js"})
        EXPECT_EQ(1u, one.count(made)) << made;
    EXPECT_TRUE(one == four) << "the galleries of -j 1 and -j 4 differ";

    ToolRun again = install.run("meshgallery", galleryArguments(install, {"-o", "four"}));
    EXPECT_EQ(std::string::npos, again.output.find("Drawing mesh file")) << again.output;
    EXPECT_NE(std::string::npos, again.output.find("(0 drawn, " + std::to_string(5 - kDamaged) + " unchanged, " +
                                                   std::to_string(kDamaged) + " damaged)"))
        << again.output;
    EXPECT_TRUE(filesBelow(install.workFile("four")) == four) << "an unchanged run changed the gallery";

    // A changed source is drawn again, alone; a mesh no longer named leaves the gallery.
    install.addGameFile("data/meshes/p_chair.msh", boxesFile({{"chair", {{"wood.dds", {{0, 0, 0, 1, 1, 1}}}}}}));
    ToolRun changed =
        install.run("meshgallery", {"-newdata", install.root() + "/mods", "p_chair.msh", "p_lamp.msh", "-o", "four"});
    EXPECT_EQ(0, changed.status) << changed.errors;
    EXPECT_NE(std::string::npos, changed.output.find("Drawing mesh file p_chair.msh...\n"
                                                     "Gallery of 2 mesh files (1 drawn, 1 unchanged, 0 damaged)"))
        << changed.output;
    std::map<std::string, std::string> after = filesBelow(install.workFile("four"));
    EXPECT_EQ(four["meshes/p_lamp.html"], after["meshes/p_lamp.html"]);
    EXPECT_EQ(0u, after.count("meshes/p_mine.html"));
    EXPECT_EQ(0u, after.count("meshes/p_mine/model.js"));
    // The redrawn chair's folder holds the pictures its page and card show, no more (none of the
    // old chair's two boxes) and no fewer.
    std::set<std::string> shown, kept;
    auto pictures = [&shown](const std::string &page, const std::string &src, const std::string &prefix) {
        for (size_t at = page.find(src); at != std::string::npos; at = page.find(src, at + 1))
            shown.insert(prefix + page.substr(at + 5, page.find('"', at + 5) - at - 5));
    };
    pictures(after["meshes/p_chair.html"], "src=\"p_chair/", "meshes/");
    pictures(after["index.html"], "src=\"meshes/p_chair/", "");
    for (const auto &file : after)
        if (file.first.compare(0, 15, "meshes/p_chair/") == 0 && file.first.find(".png") != std::string::npos)
            kept.insert(file.first);
    EXPECT_EQ(shown, kept);
    EXPECT_FALSE(four["meshes/p_chair/objects0.png"].empty());
    EXPECT_NE(four["meshes/p_chair/objects0.png"], after["meshes/p_chair/objects0.png"]);
    EXPECT_EQ(2u, catalogueOf(install, "four/catalogue.json")["meshes"].size());
}

struct CommandLineCase {
    std::vector<std::string> arguments;
    int status;
    std::string output;  // expected on stdout ("" for no check)
    std::string errors;  // expected on stderr
};

class MeshgalleryCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(MeshgalleryCommandLine, reportsAndWritesAsAsked) {
    const CommandLineCase &c = GetParam();
    FakeInstall install;
    makeGame(install);
    install.addRootFile("work/blocked", "a file where the gallery folder would go");
    ToolRun run = install.run("meshgallery", c.arguments);
    EXPECT_EQ(c.status, run.status) << run.output << run.errors;
    EXPECT_NE(std::string::npos, run.output.find(c.output)) << run.output;
    EXPECT_NE(std::string::npos, run.errors.find(c.errors)) << run.errors;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MeshgalleryCommandLine,
    ::testing::Values(
        CommandLineCase{{"p_chair.msh", "-o"}, 2, "", "meshgallery: -o: "},
        CommandLineCase{{"p_chair.msh", "-j", "0", "-o", "g"}, 1, "Error with -j option : 0 is not a number",
                        "meshgallery: -j: refused value 0"},
        CommandLineCase{{"p_chair.msh", "-o", "blocked/gallery"}, 1, "Could not write the gallery into blocked/gallery",
                        "the gallery cannot be written there: "},
        CommandLineCase{{"p_none.msh", "p_chair.msh"}, 1, "Could not load mesh file p_none.msh\n",
                        "meshgallery: p_none.msh: not found in data\\meshes\\ of "},
        CommandLineCase{{"p_chair.msh", "p_lamp.msh", "-json", "catalogue.json"}, 0,
                        "Catalogue of 2 mesh files: catalogue.json", ""},
        CommandLineCase{{"--help"}, 0, "-json file                Writes only the catalogue", ""}));

TEST(Meshgallery, writesOnlyTheCatalogueWithJson) {
    FakeInstall install;
    makeGame(install);
    ToolRun run = install.run("meshgallery", {"p_lamp.msh", "p_chair.msh", "-json", "lamp.json"});
    EXPECT_EQ(0, run.status) << run.errors;
    EXPECT_FALSE(install.workFileExists("gallery"));
    json catalogue = catalogueOf(install, "lamp.json");
    ASSERT_EQ(2u, catalogue["meshes"].size());
    EXPECT_EQ("p_chair.msh", catalogue["meshes"][0]["name"]);
    EXPECT_EQ(0u, catalogue["meshes"][0].count("page"));
    EXPECT_EQ(2u, catalogue["meshes"][1]["groups"].size());
    EXPECT_EQ(2u, catalogue["meshes"][1]["groups"][0]["meshes"][0]["objects"].size());
}
