#ifndef KX_PROPBRIDGE_HELP_H
#define KX_PROPBRIDGE_HELP_H

// propbridge's help text, printed as it stands.
extern const char *const kPropbridgeHelp;

// A slip of propbridge's own command line (an unknown command, a missing model or prop name,
// two output folders): `message` on standard output and on standard error under `subject`,
// then the help, and the run writes nothing (status 2).
void refuseBridgeCommandLine(const char *subject, const char *message);

#endif
