// Fixed-function OpenGL over shaders: the one state record (fixedgl_state.h)
// that the game's calls land in, and the calls that only set it: enables,
// the light, the material, the fog and the queries. The other pieces draw
// it: fixedgl_shader (program and uniforms), fixedgl_batch (immediate mode),
// fixedgl_lists, fixedgl_texture, fixedgl_matrix and fixedgl_forward (the
// state WebGL keeps itself).
#include "fixedgl_state.h"

#include <cstring>

#include "glmatrix.h"

// ---------------------------------------------------------------- file state

FixedGlState layer;

#ifdef FIXEDGL_FAULTS
int fglFault;
#endif

// ---------------------------------------------------------------- helpers

static bool* capability(GLenum cap) {
    switch (cap) {
        case GL_LIGHTING: return &layer.lighting;
        case GL_LIGHT0: return &layer.light0;
        case GL_COLOR_MATERIAL: return &layer.colourMaterial;
        case GL_FOG: return &layer.fog;
        case GL_NORMALIZE: return &layer.normalize;
        case GL_TEXTURE_2D: return &layer.texturing;
        default: return nullptr;
    }
}

// False for the capabilities WebGL keeps itself.
static bool setCapability(GLenum cap, bool on) {
    if (cap == GL_ALPHA_TEST) return true;  // the game keeps the function that passes everything
    bool* flag = capability(cap);
    if (flag) *flag = on;
    return flag != nullptr;
}

// ---------------------------------------------------------------- operations

void setMaterial(GLenum face, GLenum pname, const float* params) {
    if (face == GL_BACK) return;  // one-sided lighting: only the front counts
    Material& material = layer.material;
    float* field = pname == GL_AMBIENT    ? material.ambient
                   : pname == GL_DIFFUSE  ? material.diffuse
                   : pname == GL_SPECULAR ? material.specular
                   : pname == GL_EMISSION ? material.emission
                   : pname == GL_SHININESS ? &material.shininess
                                           : nullptr;
    int count = pname == GL_SHININESS ? 1 : 4;
    if (!field || memcmp(field, params, count * sizeof(float)) == 0) return;
    changeState();
    memcpy(field, params, count * sizeof(float));
}

void fglEnable(GLenum cap) {
    start();
    if (layer.recording) return record(OP_ENABLE, cap);
    if (bool* flag = capability(cap))
        if (*flag) return;
    changeState();
    if (!setCapability(cap, true)) forwardCapability(cap, true);
}

void fglDisable(GLenum cap) {
    start();
    if (layer.recording) return record(OP_DISABLE, cap);
    if (bool* flag = capability(cap))
        if (!*flag) return;
    changeState();
    if (!setCapability(cap, false)) forwardCapability(cap, false);
}

void fglGetIntegerv(GLenum pname, GLint* params) {
    start();
    if (pname == GL_VIEWPORT) memcpy(params, layer.viewport, sizeof layer.viewport);
    else if (pname == GL_UNPACK_ALIGNMENT) *params = layer.unpackAlignment;
    else if (pname == GL_POLYGON_MODE) params[0] = params[1] = GL_FILL;  // lines are never drawn
    else glGetIntegerv(pname, params);
}

void fglLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    start();
    if (light != GL_LIGHT0) return;
    changeState();
    switch (pname) {
        case GL_AMBIENT: memcpy(layer.lightAmbient, params, 4 * sizeof(float)); break;
        case GL_DIFFUSE: memcpy(layer.lightDiffuse, params, 4 * sizeof(float)); break;
        case GL_SPECULAR: memcpy(layer.lightSpecular, params, 4 * sizeof(float)); break;
        // Kept in eye space, as given under the model-view of the moment.
        case GL_POSITION: mat4Transform(stackTop(0), params, layer.lightPosition); break;
        default: break;
    }
}

void fglMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    start();
    if (layer.recording) return record(OP_MATERIAL, face, pname, params, pname == GL_SHININESS ? 1 : 4);
    setMaterial(face, pname, params);
}

void fglMaterialf(GLenum face, GLenum pname, GLfloat param) {
    const GLfloat params[4] = {param, 0, 0, 0};
    fglMaterialfv(face, pname, params);
}

void fglFogf(GLenum pname, GLfloat param) {
    start();
    changeState();
    if (pname == GL_FOG_START) layer.fogStart = param;
    if (pname == GL_FOG_END) layer.fogEnd = param;
}

// Only linear fog is drawn: the game asks for nothing else.
void fglFogi(GLenum, GLint) {
}

void fglFogfv(GLenum pname, const GLfloat* params) {
    start();
    changeState();
    if (pname == GL_FOG_COLOR) memcpy(layer.fogColour, params, sizeof layer.fogColour);
    else fglFogf(pname, params[0]);
}

// Always smooth, and always filled: the game never draws flat or in lines.
void fglShadeModel(GLenum) {
}

void fglPolygonMode(GLenum, GLenum) {
}
