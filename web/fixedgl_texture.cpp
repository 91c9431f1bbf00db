// Textures and pixels: the layer's record of each texture (so sampling that
// does not change is not sent again), images repacked as WebGL takes them,
// the texture environment, the unpack alignment and reading pixels back.
#include "fixedgl_state.h"

#include <cstddef>

const Texture NEW_TEXTURE = {true, false, false, {GL_REPEAT, GL_REPEAT, GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR}, {}, 0, 0};

// ---------------------------------------------------------------- operations

Texture* boundTextureRecord() {
    return layer.boundTexture < layer.textures.size() ? &layer.textures[layer.boundTexture] : nullptr;
}

bool texturingActive() {
    Texture* t = boundTextureRecord();
    return layer.texturing && layer.boundTexture != 0 && t && t->complete;
}

void fglGenTextures(GLsizei n, GLuint* names) {
    start();
    glGenTextures(n, names);
    std::vector<Texture>& textures = layer.textures;
    for (GLsizei i = 0; i < n; ++i) {
        if (names[i] >= textures.size()) textures.resize(names[i] + 1);
        textures[names[i]] = NEW_TEXTURE;
    }
}

void fglBindTexture(GLenum target, GLuint name) {
    start();
    if (layer.recording) return record(OP_BIND, name);
    if (name == layer.boundTexture) return;
    changeState();
    layer.boundTexture = name;
    glBindTexture(target, name);
}

// WebGL wants the internal format to match the source and no row padding,
// so the pixels are repacked into the format asked for.
void fglTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint,
                   GLenum format, GLenum type, const void* pixels) {
    start();
    changeState();
    int inChannels = format == GL_RGBA ? 4 : 3;
    int outChannels = internalFormat == GL_RGBA || internalFormat == 4 ? 4 : 3;
    int rowBytes = width * inChannels;
    int stride = (rowBytes + layer.unpackAlignment - 1) / layer.unpackAlignment * layer.unpackAlignment;
    std::vector<unsigned char> packed((size_t)width * height * outChannels);
    const unsigned char* in = (const unsigned char*)pixels;
    for (int y = 0; in && y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < outChannels; ++c)
                packed[((size_t)y * width + x) * outChannels + c] =
                    c < inChannels ? in[(size_t)y * stride + x * inChannels + c] : 255;
    GLenum outFormat = outChannels == 4 ? GL_RGBA : GL_RGB;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(target, level, outFormat, width, height, 0, outFormat, type, in ? packed.data() : nullptr);
    // WebGL's own alignment stays at GL's default; the game's is kept here.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (Texture* t = boundTextureRecord()) {
        t->complete = true;
        t->alpha = outChannels == 4;
        t->width = width;
        t->height = height;
        if (in) t->image.swap(packed);
        else t->image.clear();
    }
}

void fglTexParameteri(GLenum target, GLenum pname, GLint param) {
    start();
    if (layer.recording) return record(OP_TEXPARAM, pname, (GLenum)param);
    // WebGL has no border to clamp toward; the edge texels are the nearest.
    if (param == GL_CLAMP) param = GL_CLAMP_TO_EDGE;
    Texture* t = boundTextureRecord();
    for (int k = 0; t && k < 4; ++k)
        if (pname == SAMPLING_NAMES[k]) {
            if (t->sampling[k] == param) return;
            t->sampling[k] = param;
        }
    drawBatch();
    glTexParameteri(target, pname, param);
}

void fglTexEnvi(GLenum, GLenum pname, GLint param) {
    start();
    if (pname != GL_TEXTURE_ENV_MODE) return;
    if (layer.recording) return record(OP_TEXENV, (GLenum)param);
    if (layer.replaceMode == (param == GL_REPLACE)) return;
    changeState();
    layer.replaceMode = param == GL_REPLACE;
}

void fglTexEnvf(GLenum target, GLenum pname, GLfloat param) {
    fglTexEnvi(target, pname, (GLint)param);
}

void fglPixelStorei(GLenum pname, GLint param) {
    start();
    if (pname == GL_UNPACK_ALIGNMENT) layer.unpackAlignment = param;
    else glPixelStorei(pname, param);
}

// Saves only the unpack alignment: the one pixel-store value kept here, and
// all the game sets between push and pop.
void fglPushClientAttrib(GLbitfield) {
    layer.clientAlignments.push_back(layer.unpackAlignment);
}

void fglPopClientAttrib() {
    std::vector<int>& saved = layer.clientAlignments;
    if (saved.empty()) return;
    layer.unpackAlignment = saved.back();
    saved.pop_back();
}

void fglReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels) {
    start();
    drawBatch();
    glReadPixels(x, y, width, height, format, type, pixels);
}
