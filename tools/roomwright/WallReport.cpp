#include "WallReport.h"

#include "Cutouts.h"
#include "KxDVector.h"
#include "KxDWallSurface.h"

#include <cstdio>

WallReportClass::WallReportClass() : lastX(0.0f), lastY(0.0f), totalDistance(0.0f) {}

void WallReportClass::addWall(float x, float y) {
    if (!start) {
        start = Point{x, y};
        lastX = x;
        lastY = y;
        return;
    }
    addWall(WallReportPieceClass::WALL, x, y);
}

void WallReportClass::addWall(int kind, float x, float y) {
    _KxDVector2D step;
    kxdVecSet(&step, x - lastX, y - lastY);
    WallReportPieceClass piece = {kind, x, y, kxdVecLen(&step)};
    pieces.push_back(piece);
    totalDistance += piece.distance;
    lastX = x;
    lastY = y;
}

void WallReportClass::addCutout(const CutoutClass *cutout, float x, float y, float scale, bool flip) {
    float s = flip ? -scale : scale;
    _KxDVector2D d;
    kxdVecSet(&d, x - lastX, y - lastY);
    kxdVecNormalize(&d);
    const CutoutCoordClass &first = cutout->getCoord(flip ? cutout->getCoordCount() - 1 : 0);
    const CutoutCoordClass &final = cutout->getCoord(flip ? 0 : cutout->getCoordCount() - 1);
    addWall(WallReportPieceClass::CUTOUT_START, x + first.x * s * d.x, y + first.x * s * d.y);
    addWall(WallReportPieceClass::CUTOUT_CENTER, x, y);
    addWall(WallReportPieceClass::CUTOUT_END, x + final.x * s * d.x, y + final.x * s * d.y);
}

void WallReportClass::addFinalWall() {
    if (start) addWall(WallReportPieceClass::WALL, start->x, start->y);
}

float WallReportClass::getLmFraction(KxDWallSurface *surface, float f) {
    const KxDClipRegion2D *area = surface->getLmCoords();
    return area->getMinX() + (area->getMaxX() - area->getMinX()) * f;
}

void WallReportClass::printReport(KxDWallSurface *surface) const {
    if (!start) return;
    std::printf("         -ACTUAL COORDS-  DISTANCE  DIFFUSE  LIGHTMAP ---FLOOR---  --CEILING--\n");
    std::printf(" CUTOUT  ---X--- ---Y---  TO NEXT   TEXTURE  TEXTURE  --X-- --Y--  --X-- --Y--\n");
    _KxDVector2D floor, ceiling;
    surface->getFloorLmCoords(start->x, start->y, &floor);
    surface->getCeilingLmCoords(start->x, start->y, &ceiling);
    std::printf(" No      %7.3f %7.3f       N/A", start->x, start->y);
    std::printf("%7.3f  %7.3f", 0.0, 0.0);
    std::printf("%5.3f %5.3f", floor.x, floor.y);
    std::printf("%5.3f %5.3f\n", ceiling.x, ceiling.y);

    float f = 0.0f;
    for (const WallReportPieceClass &row : pieces) {
        // An outline of length 0 stays at fraction 0 instead of printing not-a-number.
        if (totalDistance > 0.0f) f += row.distance / totalDistance;
        const char *label = row.kind == WallReportPieceClass::WALL            ? " No"
                            : row.kind == WallReportPieceClass::CUTOUT_START  ? " Start"
                            : row.kind == WallReportPieceClass::CUTOUT_CENTER ? " Center"
                                                                               : " End";
        surface->getFloorLmCoords(row.x, row.y, &floor);
        surface->getCeilingLmCoords(row.x, row.y, &ceiling);
        std::printf("%s", label);
        std::printf("%7.3f %7.3f  %8.3f", row.x, row.y, row.distance);
        std::printf("%7.3f  %7.3f", f, getLmFraction(surface, f));
        std::printf("%5.3f %5.3f", floor.x, floor.y);
        std::printf("%5.3f %5.3f\n", ceiling.x, ceiling.y);
    }
    std::printf("        TOTAL DISTANCE: %10.3f\n", totalDistance);
}
