#include "MshBuilder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Little-endian byte writer that notes where the named fields stand.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<MshField> *fields) : fields(fields) {}

    std::vector<uint8_t> bytes;

    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; i++) u8(static_cast<uint8_t>(v >> (8 * i)));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void name(const std::string &text) {
        for (size_t i = 0; i < 32; i++) u8(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    }
    void matrix(const MshMatrix &m) {
        for (float v : m) f32(v);
    }
    void pad4() {
        while (bytes.size() % 4 != 0) u8(0);
    }

    // Notes the field that is written next.
    void mark(const std::string &what, int size) {
        if (fields) fields->push_back(MshField{what, bytes.size(), size});
    }
    void section(const char *name) { mark(std::string("start of ") + name, 0); }

private:
    std::vector<MshField> *fields;
};

void writeControl(ByteWriter &w, const MshControl &control, bool room, const std::string &label) {
    if (room) w.name(control.roomName);
    w.mark(label + " vertex count", 4);
    w.i32(control.vertexCount ? *control.vertexCount : static_cast<int32_t>(control.vertices.size() / 3));
    w.mark(label + " face count", 4);
    w.i32(control.faceCount ? *control.faceCount : static_cast<int32_t>(control.indices.size() / 3));
    for (float v : control.vertices) w.f32(v);
    for (size_t i = 0; i < control.indices.size(); i++) {
        w.mark(label + " index " + std::to_string(i), 2);
        w.u16(control.indices[i]);
    }
    w.pad4();
}

void writeMesh(ByteWriter &w, const MshMesh &mesh, const std::string &label) {
    w.mark(label + " material index", 4);
    w.i32(mesh.materialIndex);
    w.mark(label + " face count", 4);
    w.i32(mesh.faceCount ? *mesh.faceCount : static_cast<int32_t>(mesh.indices.size() / 3));
    w.mark(label + " vertex count", 4);
    w.i32(mesh.vertexCount ? *mesh.vertexCount : static_cast<int32_t>(mesh.vertices.size()));
    w.mark(label + " flags", 4);
    for (uint8_t f : mesh.flags) w.u8(f);
    if (mesh.flags[0] & 0x10) {
        w.i32(mesh.indexIdent);
        w.i32(mesh.vertexIdent);
        w.i32(mesh.boneIdent);
    }
    if (mesh.flags[0] & 0x20) {
        for (float v : mesh.posBounds) w.f32(v);
        for (float v : mesh.texBounds) w.f32(v);
        for (float v : mesh.lmBounds) w.f32(v);
    }
    int32_t joints = 0;
    if (mesh.flags[0] & 0x40) {
        joints = mesh.jointCount ? *mesh.jointCount : static_cast<int32_t>(mesh.joints.size());
        w.mark(label + " joint count", 4);
        w.i32(joints);
    }
    for (size_t i = 0; i < mesh.indices.size(); i++) {
        w.mark(label + " index " + std::to_string(i), 2);
        w.u16(mesh.indices[i]);
    }
    w.pad4();
    for (const MshVertex &v : mesh.vertices) {
        for (uint16_t c : v.p) w.u16(c);
        for (uint16_t c : v.n) w.u16(c);
        for (uint16_t c : v.t) w.u16(c);
    }
    if (mesh.flags[1] & 0x01) {
        for (const auto &pair : mesh.lightMap) {
            w.u16(pair[0]);
            w.u16(pair[1]);
        }
    }
    if (mesh.flags[0] & 0x01) {
        for (const MshBoneData &b : mesh.bones) {
            for (float v : b.values) w.f32(v);
            for (uint8_t v : b.bytes) w.u8(v);
        }
    }
    if (joints > 0) {
        for (size_t i = 0; i < mesh.joints.size(); i++) {
            w.mark(label + " joint " + std::to_string(i) + " vertex", 4);
            w.i32(mesh.joints[i].vertex);
            w.i32(mesh.joints[i].pos);
        }
    }
}

}  // namespace

MshMatrix mshIdentity() { return MshMatrix{{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}}; }

std::vector<uint8_t> buildMsh(const MshDescription &d, std::vector<MshField> *fields) {
    ByteWriter w(fields);
    const auto &flags = d.flags;

    w.mark("magic number", 4);
    w.i32(d.magic);
    w.mark("bitmap count", 4);
    w.i32(d.bitmapCount ? *d.bitmapCount : static_cast<int32_t>(d.bitmaps.size()));
    w.mark("material count", 4);
    w.i32(d.materialCount ? *d.materialCount : static_cast<int32_t>(d.materials.size()));
    w.mark("group count", 4);
    w.i32(d.groupCount ? *d.groupCount : static_cast<int32_t>(d.groups.size()));
    w.mark("flags", 8);
    for (uint8_t f : flags) w.u8(f);
    if (flags[6] & 0x02) {
        w.mark("position matrix count", 4);
        w.i32(d.posMatrixCount ? *d.posMatrixCount : static_cast<int32_t>(d.posMatrices.size()));
    }
    if (flags[6] & 0x40) {
        w.mark("sub mesh count", 4);
        w.i32(d.subMeshCount);
    }
    if (flags[6] & 0x80) {
        w.mark("room count", 4);
        w.i32(d.roomCount ? *d.roomCount : static_cast<int32_t>(d.rooms.size()));
    }

    w.section("bitmaps");
    for (const std::string &b : d.bitmaps) w.name(b);

    w.section("materials");
    for (size_t i = 0; i < d.materials.size(); i++) {
        for (int k = 0; k < 24; k++) {
            if (k < 4) w.mark("material " + std::to_string(i) + " bitmap index " + std::to_string(k), 1);
            w.u8(d.materials[i][k]);
        }
    }

    w.section("control meshes");
    static const struct {
        int flagByte;
        uint8_t bit;
    } controlFlags[7] = {{3, 0x01}, {6, 0x10}, {6, 0x08}, {5, 0x04}, {6, 0x04}, {5, 0x02}, {6, 0x01}};
    for (int type = 1; type <= 7; type++) {
        if (flags[controlFlags[type - 1].flagByte] & controlFlags[type - 1].bit) {
            writeControl(w, d.controls[type - 1], false, "control " + std::to_string(type));
        }
    }

    w.section("rooms");
    for (size_t i = 0; i < d.rooms.size(); i++) writeControl(w, d.rooms[i], true, "room " + std::to_string(i));

    w.section("mesh groups");
    for (size_t g = 0; g < d.groups.size(); g++) {
        const MshGroup &group = d.groups[g];
        std::string label = "group " + std::to_string(g);
        w.mark(label + " mesh count", 2);
        w.i16(group.meshCount ? *group.meshCount : static_cast<int16_t>(group.meshes.size()));
        w.u8(group.flags[0]);
        w.u8(group.flags[1]);
        w.matrix(group.matrix);
        if (group.flags[1] & 0x10) {
            w.i16(group.hiddenOn);
            w.i16(group.hiddenOff);
        }
        for (size_t m = 0; m < group.meshes.size(); m++) {
            writeMesh(w, group.meshes[m], label + " mesh " + std::to_string(m));
        }
    }

    w.section("skeleton");
    if (flags[0] & 0x01) {
        w.i32(d.skeletonIdent);
        w.mark("bone count", 4);
        w.i32(d.boneCount ? *d.boneCount : static_cast<int32_t>(d.bones.size()));
        for (size_t i = 0; i < d.bones.size(); i++) {
            w.name(d.bones[i].name);
            w.mark("bone " + std::to_string(i) + " parent", 4);
            w.i32(d.bones[i].parent);
            w.matrix(d.bones[i].matrix);
        }
    }

    w.section("group names");
    if ((flags[1] & 0x01) || (flags[7] & 0x01)) {
        for (const MshGroup &group : d.groups) w.name(group.name);
    }

    w.section("named matrices");
    for (const MshNamedMatrix &named : d.namedMatrices) {
        w.name(named.name);
        w.matrix(named.matrix);
    }

    if (d.writeTail) {
        w.section("skipped block");
        w.mark("skipped block length", 4);
        w.i32(d.skipLength ? *d.skipLength : static_cast<int32_t>(4 + d.skippedBytes.size()));
        for (uint8_t b : d.skippedBytes) w.u8(b);
        w.section("position matrices");
        for (const MshPosMatrix &p : d.posMatrices) {
            w.i32(p.unk1);
            w.matrix(p.matrix);
            for (float v : p.pos) w.f32(v);
        }
    }
    return w.bytes;
}

const MshField &mshFindField(const std::vector<MshField> &fields, const std::string &what) {
    for (const MshField &f : fields) {
        if (f.what == what) return f;
    }
    std::fprintf(stderr, "MshBuilder: no field named \"%s\"\n", what.c_str());
    std::abort();
}

std::array<uint8_t, 24> mshMaterial(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    std::array<uint8_t, 24> raw{};
    raw[0] = b0;
    raw[1] = b1;
    raw[2] = b2;
    raw[3] = b3;
    raw[5] = 1;
    raw[6] = 1;
    raw[14] = 4;
    raw[16] = 150;
    raw[17] = 150;
    raw[18] = 150;
    raw[19] = 255;
    return raw;
}

uint16_t mshQuantise(float value, float min, float max) {
    if (max <= min) return 0;
    double code = std::floor((static_cast<double>(value) - min) / (static_cast<double>(max) - min) * 65535.0 + 0.5);
    if (code < 0) code = 0;
    if (code > 65535) code = 65535;
    return static_cast<uint16_t>(code);
}

uint16_t mshNormalCode(float n) { return mshQuantise(n, -1.0f, 1.0f); }

MshVertex mshVertex(const MshMesh &mesh, float x, float y, float z, float nx, float ny, float nz, float u, float v) {
    const auto &p = mesh.posBounds;
    const auto &t = mesh.texBounds;
    MshVertex vertex;
    vertex.p[0] = mshQuantise(x, p[0], p[3]);
    vertex.p[1] = mshQuantise(y, p[1], p[4]);
    vertex.p[2] = mshQuantise(z, p[2], p[5]);
    vertex.n[0] = mshNormalCode(nx);
    vertex.n[1] = mshNormalCode(ny);
    vertex.n[2] = mshNormalCode(nz);
    vertex.t[0] = mshQuantise(u, t[0], t[2]);
    vertex.t[1] = mshQuantise(v, t[1], t[3]);
    return vertex;
}
