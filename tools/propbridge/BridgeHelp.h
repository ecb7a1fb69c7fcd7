#ifndef KX_PROPBRIDGE_HELP_H
#define KX_PROPBRIDGE_HELP_H

// propbridge's help text, printed as it stands.
extern const char *const kPropbridgeHelp;

#endif
