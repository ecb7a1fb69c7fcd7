// Malformed files end in an IOException with a clear text: never a crash, a hang or an
// allocation larger than the file could describe. Run under the sanitizer build, these
// tests also show that the partly read model is freed.

#include "IOException.h"
#include "KxRlControlMesh.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshSkeleton.h"
#include "MeshTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

bool startsWith(const std::string &text, const char *prefix) { return text.compare(0, std::strlen(prefix), prefix) == 0; }

void putInt(std::vector<uint8_t> &bytes, const MshField &field, int32_t value) {
    for (int i = 0; i < field.size; i++) bytes[field.offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

// Cut after every byte: only the cut where the skipped block begins (the end of the named
// matrices) and the whole file read; every other cut is reported as truncated.
TEST(MeshFileMalformed, everyTruncationFailsCleanly) {
    std::vector<MshField> fields;
    std::vector<uint8_t> bytes = buildMsh(richDescription(), &fields);
    size_t tailStart = mshFindField(fields, "start of skipped block").offset;
    TempFolder folder;
    for (size_t cut = 0; cut < bytes.size(); cut++) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        std::string error = readError(folder, part);
        if (cut == tailStart) {
            EXPECT_EQ("", error) << "cut at " << cut;
        } else {
            EXPECT_TRUE(startsWith(error, "Mesh file is truncated")) << "cut at " << cut << ": " << error;
        }
    }
    EXPECT_EQ("", readError(folder, bytes));
}

TEST(MeshFileMalformed, endAfterGroupNamesWithNamedMatricesAnnouncedIsTruncated) {
    MshDescription d = richDescription();
    d.namedMatrices.clear();  // flags[2] still announces 2
    d.writeTail = false;
    TempFolder folder;
    EXPECT_TRUE(startsWith(readError(folder, buildMsh(d)), "Mesh file is truncated"));
}

// Every count of the rich file set to huge and to negative values. A count of the file's header
// that no MSH file can hold tells that the file is no MSH file at all.
TEST(MeshFileMalformed, hugeAndNegativeCountsAreRefused) {
    // (The position matrices may be left out at the end of a file: only a negative count of them
    // is impossible.)
    const std::vector<std::string> headerCounts = {"bitmap count", "material count", "group count", "room count"};
    std::vector<MshField> fields;
    const std::vector<uint8_t> bytes = buildMsh(richDescription(), &fields);
    TempFolder folder;
    int checked = 0;
    for (const MshField &field : fields) {
        if (field.what.find("count") == std::string::npos || field.what == "sub mesh count") continue;
        const int32_t values4[] = {0x7FFFFFFF, 0x40000000, 0x10000000, 65536, -1, INT32_MIN};
        const int32_t values2[] = {0x7FFF, -1, INT16_MIN};
        std::vector<int32_t> values = field.size == 4 ? std::vector<int32_t>(std::begin(values4), std::end(values4))
                                                      : std::vector<int32_t>(std::begin(values2), std::end(values2));
        for (int32_t value : values) {
            std::vector<uint8_t> broken = bytes;
            putInt(broken, field, value);
            std::string error = readError(folder, broken);
            bool inHeader = std::find(headerCounts.begin(), headerCounts.end(), field.what) != headerCounts.end();
            bool impossible = value < 0 || int64_t{value} * 24 > INT32_MAX;
            if (field.what == "position matrix count") inHeader = impossible = value < 0;
            if (inHeader && impossible)
                EXPECT_TRUE(startsWith(error, "The file is not an MSH file: its header gives "))
                    << field.what << " = " << value << ": " << error;
            else
                EXPECT_TRUE(startsWith(error, "Mesh file is truncated") ||
                            startsWith(error, "Mesh file has a negative"))
                    << field.what << " = " << value << ": " << error;
        }
        checked++;
    }
    EXPECT_GE(checked, 30);
}

TEST(MeshFileMalformed, negativeCountTextNamesTheField) {
    std::vector<MshField> fields;
    std::vector<uint8_t> bytes = buildMsh(richDescription(), &fields);
    putInt(bytes, mshFindField(fields, "group 0 mesh 1 vertex count"), -7);
    TempFolder folder;
    std::string error = readError(folder, bytes);
    EXPECT_TRUE(startsWith(error, "Mesh file has a negative vertices count (-7) at offset ")) << error;
}

struct IndexCase {
    const char *field;
    int32_t value;
    const char *error;
};

TEST(MeshFileMalformed, indicesOutOfRangeAreRefused) {
    const IndexCase cases[] = {
        {"group 0 mesh 1 material index", 3, "Material index out of range: 3 of 3"},
        {"group 0 mesh 1 material index", -1, "Material index out of range: -1 of 3"},
        {"material 1 bitmap index 0", 3, "Bitmap index out of range: 3 of 3"},
        {"material 0 bitmap index 3", 0xFE, "Bitmap index out of range: 254 of 3"},
        {"group 0 mesh 0 index 2", 3, "Triangle vertex index out of range: 3 of 3"},
        {"group 0 mesh 1 index 5", 0xFFFF, "Triangle vertex index out of range: 65535 of 4"},
        {"group 0 mesh 0 joint 1 vertex", 3, "Joint vertex out of range: 3 of 3"},
        {"group 0 mesh 0 joint 0 vertex", -2, "Joint vertex out of range: -2 of 3"},
        {"control 7 index 4", 4, "Control mesh vertex index out of range: 4 of 4"},
        {"room 0 index 0", 9, "Control mesh vertex index out of range: 9 of 3"},
    };
    std::vector<MshField> fields;
    const std::vector<uint8_t> bytes = buildMsh(richDescription(), &fields);
    TempFolder folder;
    for (const IndexCase &c : cases) {
        std::vector<uint8_t> broken = bytes;
        putInt(broken, mshFindField(fields, c.field), c.value);
        std::string error = readError(folder, broken);
        EXPECT_TRUE(startsWith(error, c.error)) << c.field << ": " << error;
    }
}

TEST(MeshFileMalformed, meshWithoutBoundsIsRefused) {
    std::vector<MshField> fields;
    std::vector<uint8_t> bytes = buildMsh(richDescription(), &fields);
    bytes[mshFindField(fields, "group 1 mesh 0 flags").offset] = 0x00;
    TempFolder folder;
    EXPECT_TRUE(startsWith(readError(folder, bytes), "Mesh record without bounds")) << readError(folder, bytes);
}

TEST(MeshFileMalformed, skippedBlockLengthMustCountItselfAndFit) {
    std::vector<MshField> fields;
    std::vector<uint8_t> bytes = buildMsh(richDescription(), &fields);
    const MshField &length = mshFindField(fields, "skipped block length");
    TempFolder folder;
    for (int32_t value : {3, 0, -1, INT32_MIN}) {
        std::vector<uint8_t> broken = bytes;
        putInt(broken, length, value);
        EXPECT_TRUE(startsWith(readError(folder, broken), "Mesh file has a skipped block of length")) << value;
    }
    for (int32_t value : {4 + 6 + 2 * 64 + 1, INT32_MAX}) {
        std::vector<uint8_t> broken = bytes;
        putInt(broken, length, value);
        EXPECT_TRUE(startsWith(readError(folder, broken), "Mesh file is truncated")) << value;
    }
    // A block that swallows the position matrices leaves too little for them.
    putInt(bytes, length, 4 + 6 + 64);
    EXPECT_TRUE(startsWith(readError(folder, bytes), "Mesh file is truncated"));
}

TEST(MeshFileMalformed, boneParentsOutOfRangeAreRoots) {
    std::vector<MshField> fields;
    std::vector<uint8_t> bytes = buildMsh(richDescription(), &fields);
    putInt(bytes, mshFindField(fields, "bone 1 parent"), 3);
    putInt(bytes, mshFindField(fields, "bone 2 parent"), -5);
    TempFolder folder;
    auto file = loadMsh(folder, bytes);
    KxRlMeshSkeleton *skeleton = file->getSkeleton();
    EXPECT_EQ(3, skeleton->getBone(1)->getParentIndex());
    EXPECT_EQ(nullptr, skeleton->getBone(1)->getParent());
    EXPECT_EQ(nullptr, skeleton->getBone(2)->getParent());
    EXPECT_EQ(0, skeleton->getBone(0)->getChildCount());
}

TEST(MeshFileMalformed, missingFileIsReported) {
    TempFolder folder;
    try {
        KxRlMeshFile::CreateFromFile(folder.file("absent.msh").c_str());
        FAIL() << "no exception";
    } catch (const IOException &e) {
        EXPECT_STREQ("File could not be opened", e.getErrorString());
    }
}

template <typename T>
bool isOneOf(const T *item, T *(KxRlMeshFile::*get)(int) const, int count, const KxRlMeshFile &file) {
    for (int i = 0; i < count; i++)
        if ((file.*get)(i) == item) return true;
    return false;
}

bool indicesBelow(const uint16_t *indices, int count, int vertexCount) {
    return std::all_of(indices, indices + count, [&](uint16_t index) { return index < vertexCount; });
}

// What the reader promises of every model it returns, so that later code may index without
// checks: each bitmap, material, vertex, joint and parent it resolved lies inside its array.
// Empty when it holds; otherwise what broke it.
std::string brokenPromise(const KxRlMeshFile &file) {
    for (int i = 0; i < file.getMaterialCount(); i++)
        for (int slot = 0; slot < 4; slot++) {
            const KxRlMeshBitmap *bitmap = file.getMaterial(i)->getBitmap(slot);
            if (bitmap && !isOneOf(bitmap, &KxRlMeshFile::getBitmap, file.getBitmapCount(), file))
                return "a material slot names no bitmap of the file";
        }
    for (int i = 0; i < file.getControlMeshCount() + file.getRoomCount(); i++) {
        const KxRlControlMesh *control =
            i < file.getControlMeshCount() ? file.getControlMesh(i) : file.getRoom(i - file.getControlMeshCount());
        if (!indicesBelow(control->getIndexList(), control->getIndexCount(), control->getVertexCount()))
            return "a control mesh index lies past its vertices";
    }
    for (int g = 0; g < file.getMeshGroupCount(); g++)
        for (int m = 0; m < file.getMeshCount(g); m++) {
            const KxRlMesh *mesh = file.getMesh(g, m);
            if (!isOneOf(mesh->getMaterial(), &KxRlMeshFile::getMaterial, file.getMaterialCount(), file))
                return "a mesh names no material of the file";
            if (!indicesBelow(mesh->getIndexList(), mesh->getIndexCount(), mesh->getVertexCount()))
                return "a mesh index lies past its vertices";
            for (int j = 0; j < mesh->getJointCount(); j++)
                if (mesh->getJointVertex(j) < 0 || mesh->getJointVertex(j) >= mesh->getVertexCount())
                    return "a joint names no vertex of its mesh";
        }
    const KxRlMeshSkeleton *skeleton = file.getSkeleton();
    for (int b = 0; skeleton && b < skeleton->getBoneCount(); b++) {
        const KxRlMeshBone *bone = skeleton->getBone(b);
        if (bone->getParent() && bone->getParent() != skeleton->getBone(bone->getParentIndex()))
            return "a bone's parent is no bone of the skeleton";
    }
    reportOf(file);
    return "";
}

bool isReaderText(const std::string &error) {
    return startsWith(error, "Mesh file ") || startsWith(error, "Mesh record without bounds") ||
           startsWith(error, "The file is not an MSH file: ") || error.find(" out of range: ") != std::string::npos;
}

// Random byte damage anywhere in the file: each case either reads into a model that keeps the
// reader's promises, or ends in one of the reader's own texts. (Under the sanitizer build any
// access out of bounds on the way fails the test as well.)
TEST(MeshFileMalformed, randomDamageEitherReadsSoundlyOrIsReported) {
    const std::vector<uint8_t> bytes = buildMsh(richDescription());
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<size_t> position(0, bytes.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    TempFolder folder;
    int read = 0, refused = 0;
    for (int round = 0; round < 1500; round++) {
        std::vector<uint8_t> broken = bytes;
        for (int k = 0; k < 1 + round % 4; k++) broken[position(random)] = static_cast<uint8_t>(value(random));
        std::unique_ptr<KxRlMeshFile> file;
        try {
            file = loadMsh(folder, broken, "broken.msh");
        } catch (const IOException &e) {
            EXPECT_TRUE(isReaderText(e.getErrorString())) << "round " << round << ": " << e.getErrorString();
            refused++;
            continue;
        }
        read++;
        std::string broke = brokenPromise(*file);
        if (!broke.empty()) FAIL() << "round " << round << ": " << broke;
    }
    // Both outcomes occur, so both paths were checked.
    EXPECT_GT(read, 100);
    EXPECT_GT(refused, 100);
}

}  // namespace
