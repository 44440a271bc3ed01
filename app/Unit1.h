// Unit Unit1: the main form's logic, portable. The window itself is reached
// through FormWindow, the machine through Platform.
#pragma once

#include "app/form1.h"
