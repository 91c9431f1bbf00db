// The layer's one shader pair, which lights, textures and fogs per vertex
// and fragment as the fixed pipeline does; the uniforms it reads, sent only
// when they change; and the bitmap text's masked quads drawn with it.
#include "fixedgl_state.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "glmatrix.h"

static const char* VERTEX_SHADER = R"(
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec4 aColour;
attribute vec2 aTexcoord;
uniform mat4 uModelView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform float uLighting, uColourMaterial, uNormalize;
uniform vec4 uLightAmbient, uLightDiffuse, uLightSpecular, uLightPosition, uSceneAmbient;
uniform vec4 uMatAmbient, uMatDiffuse, uMatSpecular, uMatEmission;
uniform float uShininess;
varying vec4 vColour;
varying vec2 vTexcoord;
varying float vFogDepth;
void main() {
    vec4 eye = uModelView * vec4(aPosition, 1.0);
    gl_Position = uProjection * eye;
    vTexcoord = aTexcoord;
    vFogDepth = abs(eye.z);
    vColour = aColour;
    if (uLighting > 0.5) {
        vec4 ambient = uColourMaterial > 0.5 ? aColour : uMatAmbient;
        vec4 diffuse = uColourMaterial > 0.5 ? aColour : uMatDiffuse;
        vec3 n = uNormalMatrix * aNormal;
        if (uNormalize > 0.5) n = normalize(n);
        vec3 l = uLightPosition.w == 0.0 ? normalize(uLightPosition.xyz) : normalize(uLightPosition.xyz - eye.xyz);
        float nl = max(dot(n, l), 0.0);
        vec3 c = uMatEmission.rgb + ambient.rgb * uSceneAmbient.rgb + ambient.rgb * uLightAmbient.rgb
               + nl * diffuse.rgb * uLightDiffuse.rgb;
        if (nl > 0.0) {
            float nh = max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0);
            float power = uShininess > 0.0 ? pow(nh, uShininess) : 1.0;
            c += power * uMatSpecular.rgb * uLightSpecular.rgb;
        }
        vColour = vec4(clamp(c, 0.0, 1.0), diffuse.a);
    }
}
)";

static const char* FRAGMENT_SHADER = R"(
uniform float uTexturing, uReplace, uTextureAlpha, uMask, uFog;
uniform sampler2D uSampler;
uniform float uFogStart, uFogEnd;
uniform vec4 uFogColour;
varying vec4 vColour;
varying vec2 vTexcoord;
varying float vFogDepth;
void main() {
    vec4 c = vColour;
    if (uMask > 0.5) {
        if (texture2D(uSampler, vTexcoord).a < 0.5) discard;
    } else if (uTexturing > 0.5) {
        vec4 t = texture2D(uSampler, vTexcoord);
        if (uTextureAlpha < 0.5) t.a = 1.0;
        c = uReplace > 0.5 ? vec4(t.rgb, uTextureAlpha > 0.5 ? t.a : c.a) : c * t;
    }
    if (uFog > 0.5) {
        float f = clamp((uFogEnd - vFogDepth) / (uFogEnd - uFogStart), 0.0, 1.0);
        c.rgb = mix(uFogColour.rgb, c.rgb, f);
    }
    gl_FragColor = c;
}
)";

// ---------------------------------------------------------------- helpers

static GLuint compile(GLenum kind, const char* body) {
#ifdef __EMSCRIPTEN__
    const char* header = "precision highp float;\n";
#else
    const char* header = "#version 120\n";
#endif
    const char* sources[2] = {header, body};
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 2, sources, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024];
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        fprintf(stderr, "fixed-function shader: %s\n", log);
    }
    return shader;
}

static void findUniforms(Program& program) {
    GLuint p = program.id;
    program.modelView = glGetUniformLocation(p, "uModelView");
    program.projection = glGetUniformLocation(p, "uProjection");
    program.normalMatrix = glGetUniformLocation(p, "uNormalMatrix");
    program.lighting = glGetUniformLocation(p, "uLighting");
    program.colourMaterial = glGetUniformLocation(p, "uColourMaterial");
    program.normalize = glGetUniformLocation(p, "uNormalize");
    program.lightAmbient = glGetUniformLocation(p, "uLightAmbient");
    program.lightDiffuse = glGetUniformLocation(p, "uLightDiffuse");
    program.lightSpecular = glGetUniformLocation(p, "uLightSpecular");
    program.lightPosition = glGetUniformLocation(p, "uLightPosition");
    program.sceneAmbient = glGetUniformLocation(p, "uSceneAmbient");
    program.matAmbient = glGetUniformLocation(p, "uMatAmbient");
    program.matDiffuse = glGetUniformLocation(p, "uMatDiffuse");
    program.matSpecular = glGetUniformLocation(p, "uMatSpecular");
    program.matEmission = glGetUniformLocation(p, "uMatEmission");
    program.shininess = glGetUniformLocation(p, "uShininess");
    program.texturing = glGetUniformLocation(p, "uTexturing");
    program.replace = glGetUniformLocation(p, "uReplace");
    program.textureAlpha = glGetUniformLocation(p, "uTextureAlpha");
    program.mask = glGetUniformLocation(p, "uMask");
    program.sampler = glGetUniformLocation(p, "uSampler");
    program.fog = glGetUniformLocation(p, "uFog");
    program.fogStart = glGetUniformLocation(p, "uFogStart");
    program.fogEnd = glGetUniformLocation(p, "uFogEnd");
    program.fogColour = glGetUniformLocation(p, "uFogColour");
}

// Each uniform sent costs the browser a command and the renderer a fresh
// upload before the next draw, so a value already there is not sent again.
static bool unchanged(GLint location, const float* value, int count) {
    UniformCache& cache = layer.uniforms;
    if (location < 0 || location >= CACHED_UNIFORMS) return false;
    if (cache.known[location] && memcmp(cache.values[location], value, count * sizeof(float)) == 0) return true;
    memcpy(cache.values[location], value, count * sizeof(float));
    cache.known[location] = true;
    return false;
}

static void uniform1(GLint location, float value) {
    if (!unchanged(location, &value, 1)) glUniform1f(location, value);
}

static void uniform4(GLint location, const float* value) {
    if (!unchanged(location, value, 4)) glUniform4fv(location, 1, value);
}

static void uniformMatrix4(GLint location, const float* value) {
    if (!unchanged(location, value, 16)) glUniformMatrix4fv(location, 1, GL_FALSE, value);
}

static void uniformMatrix3(GLint location, const float* value) {
    if (!unchanged(location, value, 9)) glUniformMatrix3fv(location, 1, GL_FALSE, value);
}

// Colour material as the shader takes it; the probe's copy of the layer can
// ignore it, one of the faults the picture test must catch.
static bool colourMaterialOn() {
#ifdef FIXEDGL_FAULTS
    if (fglFault == FGL_FAULT_COLOUR_UNLIT) return false;
#endif
    return layer.colourMaterial;
}

// ---------------------------------------------------------------- operations

void makeProgram() {
    Program& program = layer.program;
    program.id = glCreateProgram();
    glAttachShader(program.id, compile(GL_VERTEX_SHADER, VERTEX_SHADER));
    glAttachShader(program.id, compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER));
    glBindAttribLocation(program.id, POSITION, "aPosition");
    glBindAttribLocation(program.id, NORMAL, "aNormal");
    glBindAttribLocation(program.id, COLOUR, "aColour");
    glBindAttribLocation(program.id, TEXCOORD, "aTexcoord");
    glLinkProgram(program.id);
    glUseProgram(program.id);
    findUniforms(program);
    glUniform1i(program.sampler, 0);
    glGenBuffers(1, &layer.streamBuffer);
    layer.streamCapacity = layer.streamUsed = 0;
    for (int a = 0; a < ATTRIBUTES; ++a) glEnableVertexAttribArray(a);
    layer.uniforms = UniformCache();
}

void start() {
    if (layer.started) return;
    layer.started = true;
    for (int m = 0; m < 2; ++m) mat4Identity(layer.stacks[m][0]);
    makeProgram();
    glGetIntegerv(GL_VIEWPORT, layer.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, layer.webgl.scissor);
}

void setMatrices(const float* modelView) {
    float normal[9];
    mat4Normal(modelView, normal);
    uniformMatrix4(layer.program.modelView, modelView);
    uniformMatrix3(layer.program.normalMatrix, normal);
}

// Also takes the layer's program back: the native tests draw with Mesa's
// fixed pipeline in the same context between the layer's draws.
void sendUniforms() {
    const Program& program = layer.program;
    glUseProgram(program.id);
    if (!layer.uniforms.stale) return;
    layer.uniforms.stale = false;
    static const float sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    bool lit = layer.lighting && layer.light0;
    uniformMatrix4(program.projection, stackTop(1));
    uniform1(program.lighting, layer.lighting ? 1.0f : 0.0f);
    uniform1(program.colourMaterial, colourMaterialOn() ? 1.0f : 0.0f);
    uniform1(program.normalize, layer.normalize ? 1.0f : 0.0f);
    static const float dark[4] = {0, 0, 0, 1};
    uniform4(program.lightAmbient, lit ? layer.lightAmbient : dark);
    uniform4(program.lightDiffuse, lit ? layer.lightDiffuse : dark);
    uniform4(program.lightSpecular, lit ? layer.lightSpecular : dark);
    uniform4(program.lightPosition, layer.lightPosition);
    uniform4(program.sceneAmbient, sceneAmbient);
    uniform4(program.matAmbient, layer.material.ambient);
    uniform4(program.matDiffuse, layer.material.diffuse);
    uniform4(program.matSpecular, layer.material.specular);
    uniform4(program.matEmission, layer.material.emission);
    uniform1(program.shininess, layer.material.shininess);
    Texture* t = boundTextureRecord();
    uniform1(program.texturing, texturingActive() ? 1.0f : 0.0f);
    uniform1(program.replace, layer.replaceMode ? 1.0f : 0.0f);
    uniform1(program.textureAlpha, t && t->alpha ? 1.0f : 0.0f);
    uniform1(program.mask, 0.0f);
    uniform1(program.fog, layer.fog ? 1.0f : 0.0f);
    uniform1(program.fogStart, layer.fogStart);
    uniform1(program.fogEnd, layer.fogEnd);
    uniform4(program.fogColour, layer.fogColour);
}

void pointAttributes(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = sizeof(Vertex);
    glVertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(Vertex, position));
    glVertexAttribPointer(NORMAL, 3, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(Vertex, normal));
    glVertexAttribPointer(COLOUR, 4, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(Vertex, colour));
    glVertexAttribPointer(TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride, (void*)offsetof(Vertex, texcoord));
}

void fglCurrentColor(GLfloat colour[4]) {
    memcpy(colour, layer.current[COLOUR], 4 * sizeof(float));
}

void fglDrawMask(GLuint texture, float x, float y, float width, float height, float s0, float t0, float s1, float t1,
                 float z, const GLfloat colour[4]) {
    start();
    drawBatch();
    // Window pixels to clip space under an identity model-view.
    const int* viewport = layer.viewport;
    float toClip[16];
    mat4Identity(toClip);
    mat4Translate(toClip, -1.0f, -1.0f, 0.0f);
    mat4Scale(toClip, 2.0f / viewport[2], 2.0f / viewport[3], 1.0f);
    mat4Translate(toClip, (float)-viewport[0], (float)-viewport[1], 0.0f);
    float identity[16];
    mat4Identity(identity);
    float depth = 2.0f * z - 1.0f;
    Vertex corners[4];
    const float at[4][4] = {{x, y, s0, t0}, {x + width, y, s1, t0}, {x + width, y + height, s1, t1},
                            {x, y + height, s0, t1}};
    for (int i = 0; i < 4; ++i) {
        Vertex& v = corners[i];
        memset(&v, 0, sizeof v);
        v.position[0] = at[i][0];
        v.position[1] = at[i][1];
        v.position[2] = depth;
        memcpy(v.colour, colour, 4 * sizeof(float));
        v.texcoord[0] = at[i][2];
        v.texcoord[1] = at[i][3];
    }
    const Vertex quad[6] = {corners[0], corners[1], corners[2], corners[0], corners[2], corners[3]};
    // The layer's uniforms in full, then the quad's over them; the next draw
    // sends the layer's again.
    layer.uniforms.stale = true;
    sendUniforms();
    layer.uniforms.stale = true;
    uniformMatrix4(layer.program.projection, toClip);
    setMatrices(identity);
    uniform1(layer.program.lighting, 0.0f);
    uniform1(layer.program.mask, 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    pointAttributes(layer.streamBuffer);
    glDrawArrays(GL_TRIANGLES, streamVertices(quad, 6), 6);
    glBindTexture(GL_TEXTURE_2D, layer.boundTexture);
}
