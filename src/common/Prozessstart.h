#pragma once

// What every process of the program sets up first: a write beyond the file-size limit of the user account
// (ulimit -f) fails with "file too large" and becomes the program's German message, instead of the signal
// SIGXFSZ ending the process without a word and with a half-written file.
void ProzessEinrichten();
