#include "KxDClipRegion.h"

#include "RandomAccessFile.h"
#include "StringBuffer.h"

#include <utility>

namespace {
// The ends of the empty state: bits 0x7DB48E52 and 0xFDB48E52.
const float kEmptyMin = 3.0e37f;
const float kEmptyMax = -3.0e37f;
const float kSteps = 65535.0f;

// (v - min) / step in float, truncated, low 16 bits: values outside the box wrap around.
uint16_t quantise(float v, float min, float step) {
    if (step == 0.0f) return 0;
    return kxdTruncateToShort((v - min) / step);
}

void order(float &min, float &max) {
    if (min > max) std::swap(min, max);
}
}  // namespace

uint16_t kxdTruncateToShort(float q) {
    if (q != q) return 0;  // not-a-number
    if (q < -2147483648.0f) q = -2147483648.0f;
    if (q >= 2147483648.0f) q = 2147483520.0f;  // the largest float below 2^31
    return static_cast<uint16_t>(static_cast<uint32_t>(static_cast<int32_t>(q)));
}

// --- KxDClipRegion2D ---------------------------------------------------------------------

KxDClipRegion2D::KxDClipRegion2D() : stepX(0.0f), stepY(0.0f) { clear2D(); }

KxDClipRegion2D::KxDClipRegion2D(float minX, float maxX, float minY, float maxY)
    : minX(minX), maxX(maxX), minY(minY), maxY(maxY), stepX(0.0f), stepY(0.0f) {
    correct2D();
}

KxDClipRegion2D::KxDClipRegion2D(const KxDClipRegion2D *source)
    : minX(source->minX), maxX(source->maxX), minY(source->minY), maxY(source->maxY),
      stepX(0.0f), stepY(0.0f) {
    correct2D();
}

KxDClipRegion2D::~KxDClipRegion2D() {}

KxDClipRegion2D *KxDClipRegion2D::CreateFromFile(RandomAccessFile *file) {
    float v[4];
    for (float &f : v) f = file->readFloat();
    KxDClipRegion2D *region = new KxDClipRegion2D();
    region->minX = v[0];
    region->minY = v[1];
    region->maxX = v[2];
    region->maxY = v[3];
    region->calcStep2D();
    return region;
}

void KxDClipRegion2D::calcStep() { calcStep2D(); }

void KxDClipRegion2D::clear() { clear2D(); }

void KxDClipRegion2D::correct() { correct2D(); }

void KxDClipRegion2D::toString(StringBuffer *sb) const {
    sb->appendFormat("(%f, %f) -> (%f, %f)", minX, minY, maxX, maxY);
}

void KxDClipRegion2D::clear2D() {
    minX = minY = kEmptyMin;
    maxX = maxY = kEmptyMax;
}

void KxDClipRegion2D::calcStep2D() {
    stepX = (maxX - minX) / kSteps;
    stepY = (maxY - minY) / kSteps;
}

void KxDClipRegion2D::correct2D() {
    order(minX, maxX);
    order(minY, maxY);
    calcStep2D();
}

bool KxDClipRegion2D::contains(float x, float y) const {
    return x >= minX && x <= maxX && y >= minY && y <= maxY;
}

uint16_t KxDClipRegion2D::toShortX(float v) const { return quantise(v, minX, stepX); }

uint16_t KxDClipRegion2D::toShortY(float v) const { return quantise(v, minY, stepY); }

bool KxDClipRegion2D::isEmpty() const { return minX > maxX || minY > maxY; }

// --- KxDClipRegion3D ---------------------------------------------------------------------

KxDClipRegion3D::KxDClipRegion3D() : minZ(kEmptyMin), maxZ(kEmptyMax), stepZ(0.0f) {}

KxDClipRegion3D::KxDClipRegion3D(float minX, float maxX, float minY, float maxY, float minZ,
                                 float maxZ)
    : KxDClipRegion2D(minX, maxX, minY, maxY), minZ(minZ), maxZ(maxZ), stepZ(0.0f) {
    order(this->minZ, this->maxZ);
    stepZ = (this->maxZ - this->minZ) / kSteps;
}

KxDClipRegion3D::KxDClipRegion3D(const KxDClipRegion3D *source)
    : KxDClipRegion2D(source), minZ(source->minZ), maxZ(source->maxZ), stepZ(0.0f) {
    order(minZ, maxZ);
    stepZ = (maxZ - minZ) / kSteps;
}

KxDClipRegion3D *KxDClipRegion3D::CreateFromFile(RandomAccessFile *file) {
    float v[6];
    for (float &f : v) f = file->readFloat();
    KxDClipRegion3D *region = new KxDClipRegion3D();
    region->minX = v[0];
    region->minY = v[1];
    region->minZ = v[2];
    region->maxX = v[3];
    region->maxY = v[4];
    region->maxZ = v[5];
    region->calcStep();
    return region;
}

void KxDClipRegion3D::calcStep() {
    calcStep2D();
    stepZ = (maxZ - minZ) / kSteps;
}

void KxDClipRegion3D::clear() {
    clear2D();
    minZ = kEmptyMin;
    maxZ = kEmptyMax;
}

void KxDClipRegion3D::correct() {
    order(minX, maxX);
    order(minY, maxY);
    order(minZ, maxZ);
    calcStep();
}

void KxDClipRegion3D::toString(StringBuffer *sb) const {
    sb->appendFormat("(%f, %f, %f) -> (%f, %f, %f)", minX, minY, minZ, maxX, maxY, maxZ);
}

void KxDClipRegion3D::merge(const KxDClipRegion3D *box) {
    if (box->isEmpty()) return;
    clipTo(box->minX, box->minY, box->minZ);
    clipTo(box->maxX, box->maxY, box->maxZ);
}

bool KxDClipRegion3D::contains(float x, float y, float z) const {
    return KxDClipRegion2D::contains(x, y) && z >= minZ && z <= maxZ;
}

uint16_t KxDClipRegion3D::toShortZ(float v) const { return quantise(v, minZ, stepZ); }

bool KxDClipRegion3D::isEmpty() const { return KxDClipRegion2D::isEmpty() || minZ > maxZ; }
