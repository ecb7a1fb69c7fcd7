#include "KxRlSetDressingINI.h"

#include "IOException.h"

#include <string>

const char *const SD_NAME = "name";
const char *const SD_POSX = "position.x";
const char *const SD_POSY = "position.y";
const char *const SD_POSZ = "position.z";
const char *const SD_ANGLE = "angle";

KxRlSetDressingINI::KxRlSetDressingINI() { ini.getGroup(0)->addProperty("set", "041"); }

KxRlSetDressingINI::KxRlSetDressingINI(const char *path) : ini(path) {}

KxRlIniGroup *KxRlSetDressingINI::prop(int index) const {
    if (index < 0 || index >= getPropCount()) throw IndexOutOfBoundsException;
    return ini.getGroup(index + 1);
}

const char *KxRlSetDressingINI::getPropName(int index) const { return prop(index)->getValue(SD_NAME); }
float KxRlSetDressingINI::getPropX(int index) const { return prop(index)->getFloatValue(SD_POSX, 0.0f); }
float KxRlSetDressingINI::getPropY(int index) const { return prop(index)->getFloatValue(SD_POSY, 0.0f); }
float KxRlSetDressingINI::getPropZ(int index) const { return prop(index)->getFloatValue(SD_POSZ, 0.0f); }
float KxRlSetDressingINI::getPropAngle(int index) const { return prop(index)->getFloatValue(SD_ANGLE, 0.0f); }

void KxRlSetDressingINI::addProp(const char *name, float x, float y, float z, float angle) {
    KxRlIniGroup *group = ini.addGroup(std::to_string(getPropCount()).c_str());
    group->addProperty(SD_NAME, name);
    group->addProperty(SD_POSX, x);
    group->addProperty(SD_POSY, y);
    group->addProperty(SD_POSZ, z);
    group->addProperty(SD_ANGLE, angle);
}

void KxRlSetDressingINI::removeProp(int index) {
    prop(index);  // range check
    ini.removeGroup(index + 1);
}

void KxRlSetDressingINI::setPropName(int index, const char *name) { prop(index)->setValue(SD_NAME, name); }

void KxRlSetDressingINI::setPropPosition(int index, float x, float y, float z) {
    KxRlIniGroup *group = prop(index);
    group->setValue(SD_POSX, x);
    group->setValue(SD_POSY, y);
    group->setValue(SD_POSZ, z);
}

void KxRlSetDressingINI::setPropAngle(int index, float angle) { prop(index)->setValue(SD_ANGLE, angle); }
