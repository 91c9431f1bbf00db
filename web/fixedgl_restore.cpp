// A lost WebGL context given back by the browser holds none of the layer's
// objects and none of its state. Everything is made again from what the
// layer keeps: the program, the large lists' buffers, the textures' images
// and sampling, and the last call of each piece of state WebGL keeps itself.
#include "fixedgl_state.h"

#include "bitmaptext.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// The game holds its texture names: each keeps its name with a fresh object.
EM_JS(void, renewTextureNames, (), {
    GL.textures.forEach(function(old, name) {
        if (!old) return;
        var texture = GLctx.createTexture();
        texture.name = name;
        GL.textures[name] = texture;
    });
});
#else
// A native context is never lost: its names stay good.
static void renewTextureNames() {
}
#endif

// ---------------------------------------------------------------- helpers

static void restoreTextures() {
    for (GLuint name = 1; name < layer.textures.size(); ++name) {
        const Texture& t = layer.textures[name];
        if (!t.named) continue;
        glBindTexture(GL_TEXTURE_2D, name);
        if (t.complete) {
            GLenum format = t.alpha ? GL_RGBA : GL_RGB;
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, format, t.width, t.height, 0, format, GL_UNSIGNED_BYTE,
                         t.image.empty() ? nullptr : t.image.data());
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        }
        for (int k = 0; k < 4; ++k) glTexParameteri(GL_TEXTURE_2D, SAMPLING_NAMES[k], t.sampling[k]);
    }
    glBindTexture(GL_TEXTURE_2D, layer.boundTexture);
}

// ---------------------------------------------------------------- operations

void fglContextRestored() {
    if (!layer.started) return;  // nothing was made yet
    renewTextureNames();
    makeProgram();
    restoreTextures();
    for (List* list : layer.lists)
        if (list) uploadLargeList(list);
    resendWebGlState();
    bitmapTextContextRestored();
}
