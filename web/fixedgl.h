// The fixed-function OpenGL the game draws with, over the shader API that
// WebGL offers: matrix stacks, immediate mode, one light with colour
// material, linear fog, textures with modulate and replace, and display
// lists recorded and replayed here. The web build's GL headers route the
// game's calls to these functions; natively they run over Mesa for the tests.
//
// Between fglNewList and fglEndList only these are recorded into the list:
// fglEnable, fglDisable, fglColor*, fglNormal*, fglTexCoord* (each outside
// a primitive; inside one they go with its vertices), fglMaterial*,
// fglBindTexture, fglTexEnv* (the mode), fglTexParameteri, fglPushMatrix,
// fglPopMatrix, fglTranslatef, fglRotatef, fglScalef, each fglBegin ...
// fglEnd primitive, and fglCallList. Every other call made while recording
// (fglLoadIdentity, fglMultMatrixf, fglLightfv, fglFog*, fglTexImage2D,
// fglClear, the WebGL state calls ...) runs at once and is not in the list;
// a second fglNewList is ignored.
#ifndef CUBEGAME_WEB_FIXEDGL_H
#define CUBEGAME_WEB_FIXEDGL_H

#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#else
#include <GL/gl.h>
#endif

// The fixed-function names WebGL's headers lack, with desktop GL's values.
#ifndef GL_QUADS
#define GL_QUADS 0x0007
#define GL_QUAD_STRIP 0x0008
#define GL_POLYGON 0x0009
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
#define GL_LIGHTING 0x0B50
#define GL_LIGHT0 0x4000
#define GL_COLOR_MATERIAL 0x0B57
#define GL_NORMALIZE 0x0BA1
#define GL_FOG 0x0B60
#define GL_ALPHA_TEST 0x0BC0
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_EMISSION 0x1600
#define GL_SHININESS 0x1601
#define GL_FOG_MODE 0x0B65
#define GL_FOG_START 0x0B63
#define GL_FOG_END 0x0B64
#define GL_FOG_COLOR 0x0B66
#define GL_TEXTURE_ENV 0x2300
#define GL_TEXTURE_ENV_MODE 0x2200
#define GL_MODULATE 0x2100
#define GL_CLAMP 0x2900
#define GL_SMOOTH 0x1D01
#define GL_FLAT 0x1D00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
#define GL_POLYGON_MODE 0x0B40
#define GL_COMPILE 0x1300
#define GL_CLIENT_PIXEL_STORE_BIT 0x00000001
#endif

// How batches reach the browser: written in turn into one buffer (true), or
// each in a buffer of its own, the way it was done before, for the test and
// the benchmark that compare the two.
extern bool fglStreamInPlace;

// Known faults of other GL emulations, which the picture test switches on to
// show that it catches them. Only the probe's and the layer test's copies of
// the layer are built with FIXEDGL_FAULTS; the games' has none of this.
#ifdef FIXEDGL_FAULTS
enum FglFault { FGL_NO_FAULT, FGL_FAULT_LOOKAT_IGNORED, FGL_FAULT_COLOUR_UNLIT };
extern int fglFault;
#endif

// --- enables, matrices and the light
void fglEnable(GLenum cap);
void fglDisable(GLenum cap);
void fglMatrixMode(GLenum mode);
void fglLoadIdentity();
void fglPushMatrix();
void fglPopMatrix();
void fglMultMatrixf(const GLfloat* m);
void fglTranslatef(GLfloat x, GLfloat y, GLfloat z);
void fglRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void fglScalef(GLfloat x, GLfloat y, GLfloat z);
void fglPerspective(double fovy, double aspect, double zNear, double zFar);
void fglLookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY, double centerZ, double upX,
               double upY, double upZ);
void fglGetFloatv(GLenum pname, GLfloat* params);
void fglGetIntegerv(GLenum pname, GLint* params);
void fglLightfv(GLenum light, GLenum pname, const GLfloat* params);
void fglMaterialfv(GLenum face, GLenum pname, const GLfloat* params);
void fglMaterialf(GLenum face, GLenum pname, GLfloat param);
void fglFogf(GLenum pname, GLfloat param);
void fglFogi(GLenum pname, GLint param);
void fglFogfv(GLenum pname, const GLfloat* params);
void fglShadeModel(GLenum mode);
void fglPolygonMode(GLenum face, GLenum mode);

// --- immediate mode
void fglBegin(GLenum mode);
void fglEnd();
void fglVertex3f(GLfloat x, GLfloat y, GLfloat z);
void fglNormal3f(GLfloat x, GLfloat y, GLfloat z);
void fglNormal3fv(const GLfloat* v);
void fglColor3f(GLfloat r, GLfloat g, GLfloat b);
void fglColor3fv(const GLfloat* v);
void fglColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void fglTexCoord2f(GLfloat s, GLfloat t);
void fglTexCoord2fv(const GLfloat* v);

// --- textures and pixels
void fglGenTextures(GLsizei n, GLuint* names);
void fglBindTexture(GLenum target, GLuint name);
void fglTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                   GLenum format, GLenum type, const void* pixels);
void fglTexParameteri(GLenum target, GLenum pname, GLint param);
void fglTexEnvi(GLenum target, GLenum pname, GLint param);
void fglTexEnvf(GLenum target, GLenum pname, GLfloat param);
void fglPixelStorei(GLenum pname, GLint param);
void fglPushClientAttrib(GLbitfield mask);
void fglPopClientAttrib();
void fglReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels);

// --- display lists
GLuint fglGenLists(GLsizei range);
void fglNewList(GLuint list, GLenum mode);
void fglEndList();
void fglCallList(GLuint list);
void fglDeleteLists(GLuint list, GLsizei range);

// --- state that WebGL keeps itself; drawing still queued must go first
void fglViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void fglClear(GLbitfield mask);
void fglClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void fglDepthMask(GLboolean flag);
void fglColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a);
void fglDepthFunc(GLenum func);
void fglDepthRange(double zNear, double zFar);
void fglStencilFunc(GLenum func, GLint ref, GLuint mask);
void fglStencilOp(GLenum fail, GLenum zfail, GLenum zpass);
void fglCullFace(GLenum mode);
void fglFrontFace(GLenum mode);
void fglPolygonOffset(GLfloat factor, GLfloat units);
void fglScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void fglBlendFunc(GLenum sfactor, GLenum dfactor);
// Sends whatever is still queued; before a swap or a read-back.
void fglFlush();

// --- a lost context given back by the browser: everything the layer keeps
// is made again in it (fixedgl_restore.cpp); called between frames.
void fglContextRestored();

// --- for the bitmap text: window-space pixels drawn in one colour where a
// mask texture is set, at window depth z.
void fglCurrentColor(GLfloat colour[4]);
void fglDrawMask(GLuint texture, float x, float y, float width, float height, float s0, float t0, float s1, float t1,
                 float z, const GLfloat colour[4]);

#endif
