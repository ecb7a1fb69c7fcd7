#ifndef KX_PAKLISTER_PAKLISTERHELP_H
#define KX_PAKLISTER_PAKLISTERHELP_H

extern const char *const kPaklisterHelp;

#endif
