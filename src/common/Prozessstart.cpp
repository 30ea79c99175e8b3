#include "common/Prozessstart.h"

#include <csignal>

void ProzessEinrichten() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}
