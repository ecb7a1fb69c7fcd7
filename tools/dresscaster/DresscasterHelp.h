#ifndef KX_DRESSCASTER_HELP_H
#define KX_DRESSCASTER_HELP_H

// dresscaster's help text, printed as it stands.
extern const char *const kDresscasterHelp;

#endif
