#include "service/tests/Fixture.h"
