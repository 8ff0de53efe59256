// The help texts live with the other texts of the core; windows may include them from here.
#pragma once

#include "messages/HelpTopics.h"
