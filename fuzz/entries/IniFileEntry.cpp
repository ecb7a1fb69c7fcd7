// The INI target: what roomwright and dresscaster do with the INI files they read.

#include "FuzzEntries.h"
#include "FuzzScratch.h"

#include "IOException.h"
#include "KxRlIniFile.h"
#include "KxRlSetDressingINI.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// Every value in every type; lookups by name find the first of that name.
void readEverything(const KxRlIniFile &ini) {
    for (int g = 0; g < ini.getGroupCount(); g++) {
        const KxRlIniGroup *group = ini.getGroup(g);
        int first = ini.getGroupIndex(group->getName());
        if (first < 0 || first > g || std::strcmp(ini.getGroup(first)->getName(), group->getName()) != 0)
            fuzzFailure("group " + std::to_string(g) + " [" + group->getName() + "] is found at " +
                        std::to_string(first));
        for (int p = 0; p < group->getPropertyCount(); p++) {
            const KxRlIniProperty *property = group->getProperty(p);
            int at = group->getPropertyIndex(property->getName());
            if (at < 0 || at > p) fuzzFailure(std::string("key ") + property->getName() + " is found at " +
                                              std::to_string(at));
            if (std::strlen(property->getName()) >= KXRL_INI_TEXT_SIZE ||
                std::strlen(property->getValue()) >= KXRL_INI_TEXT_SIZE)
                fuzzFailure(std::string("key ") + property->getName() + " holds a text longer than its field");
            property->getBoolValue();
            property->getIntValue(0);
            property->getFloatValue(0.0f);
        }
    }
}

}  // namespace

int fuzzIniFile(const uint8_t *data, size_t size) {
    std::string path = writeScratchFile("input.ini", data, size);
    std::unique_ptr<KxRlSetDressingINI> dressing;
    try {
        dressing.reset(new KxRlSetDressingINI(path.c_str()));
    } catch (const IOException &) {
        return 0;
    }
    readEverything(dressing->getIniFile());
    int props = dressing->getPropCount();
    for (int i = 0; i < props; i++) {
        dressing->getPropName(i);
        dressing->getPropX(i);
        dressing->getPropY(i);
        dressing->getPropZ(i);
        dressing->getPropAngle(i);
    }
    // What dresscaster's conversion changes in memory.
    if (props > 0) {
        dressing->setPropPosition(0, 1.0f, 2.0f, 3.0f);
        dressing->setPropAngle(0, 90.0f);
        dressing->setPropName(0, "p_fuzz");
        dressing->removeProp(props - 1);
    }
    dressing->addProp("p_added", 0.5f, -0.5f, 0.0f, 45.0f);
    if (dressing->getPropCount() != props + (props > 0 ? 0 : 1))
        fuzzFailure("adding and removing props left " + std::to_string(dressing->getPropCount()) + " props of " +
                    std::to_string(props));
    readEverything(dressing->getIniFile());
    return 0;
}
