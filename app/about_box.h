// The About box (Alt-I): program, phonebook, display and terminal at a glance.
#pragma once

// Shows the box until a key is pressed, then the screen again.
void about_box_show();
