#ifndef KX_PROPCARVER_HELP_H
#define KX_PROPCARVER_HELP_H

// propcarver's help text, printed as it stands.
extern const char *const kPropcarverHelp;

#endif
