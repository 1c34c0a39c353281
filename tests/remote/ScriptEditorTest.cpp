#include "ScriptsTest.h"
