#ifndef KX_TESTS_TOOLS_DESKFILE_H
#define KX_TESTS_TOOLS_DESKFILE_H

#include <string>

// A desk: mesh 0 holds three separate triangles (vertices 0-2, 3-5, 6-8); mesh 1 holds two
// triangles that share no vertex number but one position, so they are one object. The group
// is named `groupName`, which the report shows, so tests can tell copies apart.
std::string deskFile(const std::string &groupName = "desk");

#endif
