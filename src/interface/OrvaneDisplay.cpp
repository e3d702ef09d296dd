// The exported display check.
#include "interface/OrvaneDisplay.h"

#include "platform/Application.h"

std::string OrvaneWhyNoDialogs()
{
    return WhyNoDialogs();
}

std::string OrvaneWhyTheLastDialogFailed()
{
    return WhyTheLastDialogFailed();
}
