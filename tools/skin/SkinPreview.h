// "preview": the program's real windows built offscreen with a skin and
// saved as a picture, for a skin author who has not installed anything.
#pragma once

// charolist-skin preview SKIN --out FILE.png [--window main|help|author|
// ancestors|menu] [--scale 2]; runs before any application object exists
// and makes its own. Returns the exit status.
int PreviewCommand(int argc, char** argv);
