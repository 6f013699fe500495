#pragma once

// Window size in screen pixels from the first two command-line arguments (800 by 600 when
// fewer than two are given). Each argument is read with formatted int extraction: leading
// blanks and a sign are accepted and anything after the number is ignored. Returns false when
// an argument has no number or overflows int; the second is then not examined if the first
// failed. Arguments after the second are ignored.
bool parseWindowSize(int argc, const char* const* argv, int& width, int& height);
