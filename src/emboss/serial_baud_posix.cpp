#include "emboss/serial_baud_posix.h"

#include <cerrno>

#include <sys/ioctl.h>
#if defined(__linux__)
#include <asm/termbits.h>
#endif

namespace redadado {

#if defined(__linux__)

int SetArbitraryBaudRate(int fd, int baud) {
  termios2 settings{};
  if (ioctl(fd, TCGETS2, &settings) != 0) return errno;
  settings.c_cflag &= ~CBAUD;
  settings.c_cflag |= BOTHER;
  settings.c_cflag &= ~(CBAUD << IBSHIFT);
  settings.c_cflag |= BOTHER << IBSHIFT;
  settings.c_ospeed = static_cast<speed_t>(baud);
  settings.c_ispeed = static_cast<speed_t>(baud);
  if (ioctl(fd, TCSETS2, &settings) != 0) return errno;
  return 0;
}

int ReadBaudRate(int fd) {
  termios2 settings{};
  if (ioctl(fd, TCGETS2, &settings) != 0) return -1;
  return static_cast<int>(settings.c_ospeed);
}

#else

int SetArbitraryBaudRate(int, int) {
  return ENOTSUP;
}

int ReadBaudRate(int) {
  errno = ENOTSUP;
  return -1;
}

#endif

}  // namespace redadado
