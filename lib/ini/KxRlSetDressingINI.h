#ifndef KX_INI_KXRLSETDRESSINGINI_H
#define KX_INI_KXRLSETDRESSINGINI_H

// A set-dressing file: the INI file in which the game saves an arrangement of props placed
// together. Group 0 belongs to the file as a whole; every further group is one prop, in file
// order, whatever its section name: prop i is group i + 1. A prop section holds the prop's
// name (without extension), its position and its turn about the vertical axis.

#include "KxRlIniFile.h"

extern const char *const SD_NAME;   // "name"
extern const char *const SD_POSX;   // "position.x"
extern const char *const SD_POSY;   // "position.y"
extern const char *const SD_POSZ;   // "position.z" (height)
extern const char *const SD_ANGLE;  // "angle"

class KxRlSetDressingINI {
public:
    // An empty arrangement: group 0 with set = "041", no props.
    KxRlSetDressingINI();
    // Reads the file; the reader's IOExceptions pass through.
    explicit KxRlSetDressingINI(const char *path);
    KxRlSetDressingINI(const KxRlSetDressingINI &) = delete;
    KxRlSetDressingINI &operator=(const KxRlSetDressingINI &) = delete;

    const KxRlIniFile &getIniFile() const { return ini; }

    int getPropCount() const { return ini.getGroupCount() - 1; }
    // Prop indices outside 0 .. count - 1 throw IndexOutOfBoundsException.
    const char *getPropName(int index) const;  // null when the section has no name
    float getPropX(int index) const;           // 0 when missing
    float getPropY(int index) const;
    float getPropZ(int index) const;
    float getPropAngle(int index) const;

    // Appends a section named by the current prop count in decimal, holding name,
    // position.x, position.y, position.z and angle in that order ("%f" for the numbers).
    void addProp(const char *name, float x, float y, float z, float angle);
    // Removes the prop's section; the other sections keep their names.
    void removeProp(int index);
    void setPropName(int index, const char *name);
    void setPropPosition(int index, float x, float y, float z);
    void setPropAngle(int index, float angle);

private:
    KxRlIniGroup *prop(int index) const;

    KxRlIniFile ini;
};

#endif
