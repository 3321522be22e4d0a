#pragma once
// The title of every message the program shows, whatever shows it: the product's name, as
// the file's properties give it.

inline constexpr wchar_t kMessageTitle[] = L"Varnok Shutdown Manager";
