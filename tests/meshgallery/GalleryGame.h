#ifndef KX_TESTS_MESHGALLERY_GALLERYGAME_H
#define KX_TESTS_MESHGALLERY_GALLERYGAME_H

// Mesh files for meshgallery's tests, made of boxes: each box is one separate 3D object.

#include <array>
#include <string>
#include <vector>

// A box from (x0, y0, z0) to (x1, y1, z1), within 0 to 10 on every axis.
using TestBox = std::array<float, 6>;

struct TestMesh {
    std::string texture;  // base texture ("" for none)
    std::vector<TestBox> boxes;
};

struct TestGroup {
    std::string name;
    std::vector<TestMesh> meshes;
};

// The bytes of an MSH file with these groups; each box has 8 vertices and 12 triangles.
std::string boxesFile(const std::vector<TestGroup> &groups);

#endif
