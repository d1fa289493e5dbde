/* Over wine's <sys/types.h>: no mode_t, as in the universal CRT's header
   (wine's macro for _mode_t clashes with Qt's own typedef of it). */
#pragma once
#include_next <sys/types.h>
#undef mode_t
