#pragma once

#include <map>
#include <string>

namespace nebo::test {

// The parameters of the acts, by name, from a URI's query.
using IntruderParameters = std::map<std::string, std::string>;

// Tries the act named `act` from inside a slave, against its master and the
// files, network and processes around it, and returns "done" or
// "refused (<reason>)"; "unknown act" for a name it does not know. The
// parameters an act needs:
//   readSecret          secret: a file's path; reads a byte of it
//   writeFile           written: the path of a file to create
//   listFolder          folder: a folder's path; reads its first entry
//   tcpSocket, udpSocket
//   connectLocal        port: a listener's port on 127.0.0.1
//   fork                forks a child that ends at once and reaps it
//   readMasterEnviron   master: the master's process id
//   readMasterMemory    master, address: reads 8 bytes of the master at it
//   traceMaster         master: seizes it with ptrace and lets it go again
//   signalMaster        master: sends it signal 0, which only checks the right
//   inheritedDescriptor fd, inode: reads a byte of descriptor fd when it is
//                       the master's file with that inode
//   secretVariable      variable: the name of the master's secret variable
//   exec                replaces the slave with /bin/true; returns only when
//                       refused
// Throws std::invalid_argument when a parameter is missing or malformed.
std::string runIntruderAct(const std::string& act, const IntruderParameters& parameters);

} // namespace nebo::test
