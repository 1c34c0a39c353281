#include "support/ZuTest.h"
