#pragma once

#include <string>

namespace redadado {

// Baud rates beyond the fixed termios speed table go through the kernel's termios2 interface,
// which cannot share a translation unit with <termios.h>; these helpers keep it apart.

// Sets `baud` for both directions on the open terminal `fd`. Returns the errno on failure, 0 on
// success. Where the system has no such interface the result is ENOTSUP.
int SetArbitraryBaudRate(int fd, int baud);

// The output speed in baud as the terminal stores it, or -1 (with errno set) on failure. Works
// on a pseudo-terminal's master, where it reads the settings the far end made.
int ReadBaudRate(int fd);

}  // namespace redadado
