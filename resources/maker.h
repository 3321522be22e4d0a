/* The maker's name, shown in the credit line of the window and at the end of the file
   description in the version information. Plain C preprocessor: the resource compiler
   reads this file too. */
#ifndef VARNOK_MAKER_H
#define VARNOK_MAKER_H
#define VARNOK_MAKER_NAME "Mira Kestrel"
#endif
