#pragma once

// A real OpenGL 3.3 core context for GL tests: a hidden GLFW window on the display that the
// test command provides (Xvfb + Mesa's llvmpipe when there is no GPU). Nothing here is mocked.

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

class GlTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    static void SetUpTestSuite() {
        if (window != nullptr)
            return;
        ASSERT_TRUE(glfwInit()) << "no display: run the GL tests through the test command";
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        window = glfwCreateWindow(kWidth, kHeight, "GL test", nullptr, nullptr);
        ASSERT_NE(window, nullptr) << "could not create a 3.3 core context";
        glfwMakeContextCurrent(window);
        glewExperimental = GL_TRUE;
        ASSERT_EQ(glewInit(), GLEW_OK);
        glGetError(); // GLEW's probe leaves GL_INVALID_ENUM behind on core profiles
    }

    // Reads the RGBA8 pixels of the bound read framebuffer, bottom row first.
    static std::vector<unsigned char> readPixels(int x, int y, int w, int h) {
        std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static inline GLFWwindow* window = nullptr;
};
