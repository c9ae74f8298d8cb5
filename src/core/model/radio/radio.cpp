#include "core/model/radio/radio.h"
