// OpenGL as the game sees it in the web build: every call it makes goes to
// the fixed-function layer (web/fixedgl), which draws through WebGL.
#ifndef CUBEGAME_WEB_GL_H
#define CUBEGAME_WEB_GL_H

#include "fixedgl.h"

#define glEnable fglEnable
#define glDisable fglDisable
#define glMatrixMode fglMatrixMode
#define glLoadIdentity fglLoadIdentity
#define glPushMatrix fglPushMatrix
#define glPopMatrix fglPopMatrix
#define glMultMatrixf fglMultMatrixf
#define glTranslatef fglTranslatef
#define glRotatef fglRotatef
#define glScalef fglScalef
#define glGetFloatv fglGetFloatv
#define glGetIntegerv fglGetIntegerv
#define glLightfv fglLightfv
#define glMaterialfv fglMaterialfv
#define glMaterialf fglMaterialf
#define glFogf fglFogf
#define glFogi fglFogi
#define glFogfv fglFogfv
#define glShadeModel fglShadeModel
#define glPolygonMode fglPolygonMode
#define glBegin fglBegin
#define glEnd fglEnd
#define glVertex3f fglVertex3f
#define glNormal3f fglNormal3f
#define glNormal3fv fglNormal3fv
#define glColor3f fglColor3f
#define glColor3fv fglColor3fv
#define glColor4f fglColor4f
#define glTexCoord2f fglTexCoord2f
#define glTexCoord2fv fglTexCoord2fv
#define glGenTextures fglGenTextures
#define glBindTexture fglBindTexture
#define glTexImage2D fglTexImage2D
#define glTexParameteri fglTexParameteri
#define glTexEnvi fglTexEnvi
#define glTexEnvf fglTexEnvf
#define glPixelStorei fglPixelStorei
#define glPushClientAttrib fglPushClientAttrib
#define glPopClientAttrib fglPopClientAttrib
#define glReadPixels fglReadPixels
#define glGenLists fglGenLists
#define glNewList fglNewList
#define glEndList fglEndList
#define glCallList fglCallList
#define glDeleteLists fglDeleteLists
#define glViewport fglViewport
#define glClear fglClear
#define glClearColor fglClearColor
#define glDepthMask fglDepthMask
#define glColorMask fglColorMask
#define glDepthFunc fglDepthFunc
#define glDepthRange fglDepthRange
#define glStencilFunc fglStencilFunc
#define glStencilOp fglStencilOp
#define glCullFace fglCullFace
#define glFrontFace fglFrontFace
#define glPolygonOffset fglPolygonOffset
#define glScissor fglScissor
#define glBlendFunc fglBlendFunc
#define glRasterPos3f fglRasterPos3f
#define glFlush fglFlush

#include "bitmaptext.h"

#endif
