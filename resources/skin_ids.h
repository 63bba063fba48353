// Resource identifiers of the stored skins; shared by the .rc file and the skin designs.
#pragma once

// Each window keeps a whole copy of its skin, images included.
#define IDR_FORM1_SKIN 201
#define IDR_FORM2_SKIN 202
