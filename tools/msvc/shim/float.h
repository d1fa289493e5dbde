/* Over wine's <float.h>: _clear87, the universal CRT's other name of
   _clearfp. */
#pragma once
#include_next <float.h>
#ifndef _clear87
#define _clear87 _clearfp
#endif
