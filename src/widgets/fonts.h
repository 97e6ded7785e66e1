#pragma once

// Settings files written on Chinese Windows name Windows faces ("宋体", "楷体_GB2312",
// "MS Sans Serif"). Maps them, and a few of their aliases, to the installed faces of the
// same kind. Call once at start-up, before any of these fonts is used.
void RegisterFontSubstitutions();
