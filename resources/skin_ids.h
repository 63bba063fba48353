// Resource identifiers of the stored skins; shared by the .rc file and the skin designs.
#pragma once

#define IDR_STANDARD_SKIN 201
