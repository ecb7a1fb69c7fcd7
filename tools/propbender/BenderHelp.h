#ifndef KX_PROPBENDER_HELP_H
#define KX_PROPBENDER_HELP_H

// propbender's help text, printed as it stands.
extern const char *const kPropbenderHelp;

#endif
