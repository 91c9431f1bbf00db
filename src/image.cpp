// image: placeholder bodies, replaced as the module is written.
#include "image.h"

TgaImage* tgaLoad(const char* filename) { return nullptr; }
void tgaLoadHeader(FILE* file, TgaImage* info) { }
void tgaLoadImageData(FILE* file, TgaImage* info) { }
void tgaRGBtoGreyscale(TgaImage* info) { }
void tgaRGBTransparency(TgaImage* info) { }
int tgaSave(const char* filename, short width, short height, unsigned char depth, unsigned char* imageData) { return {}; }
int tgaSaveSeries(const char* prefix, short width, short height, unsigned char depth, unsigned char* imageData) { return {}; }
int tgaGrabScreenSeries(const char* prefix, int x0, int y0, int x1, int y1) { return {}; }
void tgaDestroy(TgaImage* info) { }
