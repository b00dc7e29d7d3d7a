#include "storage/rtfd.h"
