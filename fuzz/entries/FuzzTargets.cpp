#include "FuzzEntries.h"

const FuzzTarget kFuzzTargets[] = {
    {"mesh_file", fuzzMeshFile},
    {"pak_archive", fuzzPakArchive},
    {"ini_file", fuzzIniFile},
    {"room_builder", fuzzRoomBuilder},
};
const int kFuzzTargetCount = sizeof kFuzzTargets / sizeof kFuzzTargets[0];
