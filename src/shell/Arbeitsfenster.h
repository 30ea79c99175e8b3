#pragma once

class ZOVA10;

// Plugs the work windows of the libraries that exist into the main window's entries. An entry
// whose window is not built stays disabled.
void ArbeitsfensterAnmelden(ZOVA10& hauptfenster);
