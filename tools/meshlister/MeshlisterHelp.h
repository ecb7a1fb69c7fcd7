#ifndef KX_MESHLISTER_HELP_H
#define KX_MESHLISTER_HELP_H

// meshlister's help text, printed as it stands.
extern const char *const kMeshlisterHelp;

#endif
