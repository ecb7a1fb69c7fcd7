#include "PackageChecks.h"

#include "IOException.h"
#include "KxDClipRegion.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshMaterial.h"

#include <gtest/gtest.h>

const char *const kToolStartLines =
    "Initializing random number generator...\nInitializing Reelmara content registry...\n";

void expectLinesInOrder(const std::string &output, const std::vector<std::string> &lines) {
    size_t at = 0;
    for (const std::string &line : lines) {
        size_t found = output.find(line, at);
        EXPECT_NE(std::string::npos, found) << "missing: " << line << "in:\n" << output;
        at = found == std::string::npos ? at : found + line.size();
    }
}

std::unique_ptr<KxRlMeshFile> readPackageMesh(const std::string &path) {
    try {
        return std::unique_ptr<KxRlMeshFile>(KxRlMeshFile::CreateFromFile(path.c_str()));
    } catch (const IOException &e) {
        ADD_FAILURE() << path << ": " << e.getErrorString();
        return std::unique_ptr<KxRlMeshFile>(new KxRlMeshFile());
    }
}

void expectMeshBox(const KxRlMeshFile &file, int group, int mesh, int vertices, std::array<float, 6> box) {
    SCOPED_TRACE("group " + std::to_string(group) + " mesh " + std::to_string(mesh));
    ASSERT_LT(group, file.getMeshGroupCount());
    ASSERT_LT(mesh, file.getMeshCount(group));
    const KxRlMesh *m = file.getMesh(group, mesh);
    EXPECT_EQ(vertices, m->getVertexCount());
    KxDClipRegion3D actual;
    m->calcPosBounds(&actual);
    const float got[6] = {actual.getMinX(), actual.getMinY(), actual.getMinZ(),
                          actual.getMaxX(), actual.getMaxY(), actual.getMaxZ()};
    for (int i = 0; i < 6; i++) EXPECT_NEAR(box[i], got[i], 2e-3) << "box value " << i;
}

const char *meshSlotName(const KxRlMeshFile &file, int group, int mesh, int slot) {
    const KxRlMeshBitmap *bitmap = file.getMesh(group, mesh)->getMaterial()->getBitmap(slot);
    return bitmap ? bitmap->getFilename() : "(none)";
}

std::string blueprintIniBytes(int category) {
    return "\r\n[blueprint]\r\n\tcategory = " + std::to_string(category) +
           "\r\n\tmenutype = 0\r\n\tmaxinstances = -1.00\r\n\ttrickiness = 0\r\n\tgiven = 1.00\r\n"
           "\tresearchable = 0\r\n\tETA = 1900.00\r\n\tpath = group_stuff\r\n\r\n[finance]\r\n"
           "\tpurchasecost = 1.00\r\n";
}

std::string propIniBytes(const std::string &propName) {
    return "\tmesh = " + propName + ".msh\r\n\r\n[finance]\r\n\tpurchasecost = 1.00\r\n\tannualcost = 0\r\n"
           "\tdailyrate = 0\r\n";
}
