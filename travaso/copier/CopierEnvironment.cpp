#include "CopierEnvironment.h"

#include "Platform.h"

namespace travaso {

CopierEnvironment CopierEnvironment::FromSystem()
{
    return {ExecutablePath(), TargetRoot()};
}

}  // namespace travaso
