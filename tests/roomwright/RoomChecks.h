#ifndef KX_TESTS_ROOMCHECKS_H
#define KX_TESTS_ROOMCHECKS_H

// What roomwright's tests place in rooms and look at in the walls it builds.

#include <string>

class KxRlMesh;

// p_box: one triangle spanning x -0.5..0.5, y 0..0.25, z 0..1 (a prop modelled along X), as
// the bytes of an MSH file.
std::string boxProp();

// Whether a triangle of the mesh covers the point (x, z) of the wall plane y = 0 (edges
// included): a ray through the wall there hits it.
bool coversOnFront(const KxRlMesh *mesh, float x, float z);

#endif
