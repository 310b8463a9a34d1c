#include "CopierEnvironment.h"

#include "Platform.h"

CopierEnvironment CopierEnvironment::FromSystem() { return {ExecutablePath(), TargetRoot()}; }
