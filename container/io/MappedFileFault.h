// A mapped file that another program shortens while a command reads it
// makes the system stop the program with SIGBUS at the first page past the
// new end. Programs that map files install this handler once: the fault
// then ends the program with the message
//   "PROGRAM: Stream read error: a file changed while it was read (it was
//    shortened while mapped)"
// and exit code 1, after removing the temporaries of saves under way, so
// that no output is put in place and no output is blamed.
#pragma once

namespace velmora {

// program is the name the message starts with; it is copied.
void InstallMappedFileFaultHandler(const char* program);

}  // namespace velmora
