// The two help pages (Alt-Z): the program's keys, then the dialing directory's.
#pragma once

// Draws one page (0 or 1) into the frame.
void help_pages_draw(int page);
// Shows page 1; Space and the paging keys switch pages, any other key closes the help.
void help_pages_show();
