/* Whether this OpenGL keeps the memory of the vertices a select pass sends: frames of a select
 * pass and a draw pass over the triangles of a 70 by 70 grid, one begin/end pair each as the view
 * sends them, and the resident memory they add. The select pass sends them in immediate mode or
 * from an array in the program's memory. Run it with scripts/select-leak.
 * Usage: select-leak immediate|arrays [FRAMES] */
#include <GL/glx.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum
{
    N = 70,
    CORNERS = (N - 1) * (N - 1) * 6,
    WARM_UP = 20
};
static GLfloat corners[CORNERS][3];

static long ResidentKB(void)
{
    char line[256];
    long kb = 0;
    FILE* status = fopen("/proc/self/status", "r");
    while (fgets(line, sizeof line, status))
        if (strncmp(line, "VmRSS:", 6) == 0)
            kb = atol(line + 6);
    fclose(status);
    return kb;
}

static void Triangles(int fromArray)
{
    if (fromArray)
    {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, corners);
        glDrawArrays(GL_TRIANGLES, 0, CORNERS);
        glDisableClientState(GL_VERTEX_ARRAY);
        return;
    }
    for (int k = 0; k < CORNERS; k += 3)
    {
        glBegin(GL_TRIANGLES);
        for (int c = k; c < k + 3; ++c)
            glVertex3fv(corners[c]);
        glEnd();
    }
}

int main(int argc, char** argv)
{
    const int fromArray = argc > 1 && strcmp(argv[1], "arrays") == 0;
    const int frames = argc > 2 ? atoi(argv[2]) : 200;
    for (int k = 0; k < CORNERS; ++k)
    {
        /* Cell k / 6, split along its diagonal, corners of a little below height 0. */
        const int cell = k / 6, corner[6] = {0, 1, N + 1, 0, N + 1, N};
        const int point = cell % (N - 1) + cell / (N - 1) * N + corner[k % 6];
        corners[k][0] = -1 + 2.0f * (point % N) / (N - 1);
        corners[k][1] = -1 + 2.0f * (point / N) / (N - 1);
        corners[k][2] = -0.01f * (1 + point % 7);
    }
    Display* display = XOpenDisplay(NULL);
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 24, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    XSetWindowAttributes window = {0};
    window.colormap =
        XCreateColormap(display, DefaultRootWindow(display), visual->visual, AllocNone);
    Window view = XCreateWindow(display, DefaultRootWindow(display), 0, 0, 634, 410, 0,
                                visual->depth, InputOutput, visual->visual, CWColormap, &window);
    glXMakeCurrent(display, view, glXCreateContext(display, visual, NULL, True));

    GLuint hits[512];
    long before = 0;
    for (int frame = 0; frame < WARM_UP + frames; ++frame)
    {
        if (frame == WARM_UP)
            before = ResidentKB();
        glSelectBuffer(512, hits);
        glRenderMode(GL_SELECT);
        Triangles(fromArray);
        glRenderMode(GL_RENDER);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Triangles(0);
        glXSwapBuffers(display, view);
    }
    const long added = ResidentKB() - before;
    printf("%s: select pass %s: %d frames added %ld KB of resident memory, %.1f KB a frame\n",
           (const char*)glGetString(GL_VERSION), fromArray ? "from an array" : "in immediate mode",
           frames, added, (double)added / frames);
    return 0;
}
