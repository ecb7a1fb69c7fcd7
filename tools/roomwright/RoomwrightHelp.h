#ifndef KX_ROOMWRIGHT_HELP_H
#define KX_ROOMWRIGHT_HELP_H

// roomwright's help text, printed as it stands.
extern const char *const kRoomwrightHelp;

#endif
