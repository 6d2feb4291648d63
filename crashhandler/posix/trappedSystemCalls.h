#pragma once

#include <sys/syscall.h>

namespace crashhandler {

// A system call that only an attack makes: exec, process tracing, namespace
// and mount calls, the kernel's own. The sandbox's filter answers each with
// SIGSYS, so that the process ends with a crash report that names it; a
// header of its own, because the filter and the report both read it.
struct STrappedCall {
    long number; // on this machine
    const char* name;
};

inline constexpr STrappedCall trappedSystemCalls[] = {
    // New programs, also from a descriptor (a file made in memory).
    {SYS_execve, "execve"},
    {SYS_execveat, "execveat"},
    // Reading or steering another process.
    {SYS_ptrace, "ptrace"},
    {SYS_process_vm_readv, "process_vm_readv"},
    {SYS_process_vm_writev, "process_vm_writev"},
    // Namespaces and the file system's shape.
    {SYS_unshare, "unshare"},
    {SYS_setns, "setns"},
    {SYS_mount, "mount"},
    {SYS_umount2, "umount2"},
    {SYS_pivot_root, "pivot_root"},
    {SYS_chroot, "chroot"},
    {SYS_open_tree, "open_tree"},
    {SYS_move_mount, "move_mount"},
    {SYS_fsopen, "fsopen"},
    {SYS_fsconfig, "fsconfig"},
    {SYS_fsmount, "fsmount"},
    {SYS_fspick, "fspick"},
    {SYS_mount_setattr, "mount_setattr"},
    // The kernel itself.
    {SYS_init_module, "init_module"},
    {SYS_finit_module, "finit_module"},
    {SYS_delete_module, "delete_module"},
    {SYS_kexec_load, "kexec_load"},
    {SYS_kexec_file_load, "kexec_file_load"},
    {SYS_bpf, "bpf"},
};

} // namespace crashhandler
