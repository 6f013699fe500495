// Shader programs built from stage files: the start-up set, and the console messages for a
// missing stage file and a stage that does not compile.

#include "render/Shader.h"
#include "GlTestContext.h"
#include "TempFolder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kVertexSource = "#version 330 core\nlayout(location = 0) in vec3 aPos;\n"
                                  "void main() { gl_Position = vec4(aPos, 1.0); }\n";

bool linked(GLuint program) {
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

std::string fullCompileLog(GLenum stage, const std::string& source) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(length), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    glDeleteShader(shader);
    return log.c_str();
}

class ShaderTest : public GlTest {};

} // namespace

// The eight programs of the game's start-up. Other stage files may still be in progress, so
// this only asks that each builds silently; a missing or broken file prints its message.
TEST_F(ShaderTest, EveryStartupProgramBuildsWithoutMessages) {
    for (const char* stem : {"BasicLightingBloom", "NormalMapping", "ModelShader", "TextShader",
                             "BasicLightingBloomShadow", "BlurShader", "BloomShader"}) {
        const std::string base = std::string("../Shader/") + stem;
        testing::internal::CaptureStdout();
        Shader program((base + ".vertex").c_str(), (base + ".fragment").c_str());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << stem;
        EXPECT_TRUE(linked(program.programId)) << stem;
    }
    testing::internal::CaptureStdout();
    Shader depth;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "DepthShader";
    EXPECT_TRUE(linked(depth.programId)) << "DepthShader";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A stage file that does not exist is not a read failure (only a stream in the bad state is):
// the driver rejects the empty stage instead, and the program object still exists.
TEST_F(ShaderTest, MissingStageFileIsReportedByCompileOrLinkNotByTheReader) {
    TempFolder folder;
    const std::string fragment =
        folder.write("Half.fragment", "#version 330 core\nout vec4 FragColor;\n"
                                      "void main() { FragColor = vec4(1.0); }\n");
    const std::string missing = (folder.path / "Half.vertex").string();

    testing::internal::CaptureStdout();
    Shader program(missing.c_str(), fragment.c_str());
    const std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(output.find("FILE_NOT_SUCCESFULLY_READ"), std::string::npos) << output;
    EXPECT_TRUE(output.rfind("ERROR::SHADER::VERTEX::COMPILATION_FAILED\n", 0) == 0 ||
                output.find("ERROR::SHADER::PROGRAM::LINKING_FAILED\n") != std::string::npos)
        << output;
    EXPECT_TRUE(glIsProgram(program.programId));
    EXPECT_FALSE(linked(program.programId));
}

// A stage that does not compile prints its message and the first 511 characters of its log;
// the failed stage stays attached, so the link fails too and prints its whole log.
TEST_F(ShaderTest, BrokenStagePrintsMessageWithLogCutTo511Characters) {
    // Many undeclared names: the driver writes one error line for each, far past 511 chars.
    std::string broken = "#version 330 core\nout vec4 FragColor;\nvoid main() {\n";
    for (int i = 0; i < 40; ++i)
        broken += "    FragColor += undeclaredName" + std::to_string(i) + ";\n";
    broken += "}\n";
    const std::string fullLog = fullCompileLog(GL_FRAGMENT_SHADER, broken);
    ASSERT_GT(fullLog.size(), 511u) << "the driver's log is too short to show the cut";

    TempFolder folder;
    const std::string vertex = folder.write("Broken.vertex", kVertexSource);
    const std::string fragment = folder.write("Broken.fragment", broken);
    testing::internal::CaptureStdout();
    Shader program(vertex.c_str(), fragment.c_str());
    const std::string output = testing::internal::GetCapturedStdout();

    const std::string compileMessage =
        "ERROR::SHADER::FRAGMENT::COMPILATION_FAILED\n" + fullLog.substr(0, 511) + "\n";
    ASSERT_EQ(output.substr(0, compileMessage.size()), compileMessage);
    EXPECT_EQ(
        output.substr(compileMessage.size()).rfind("ERROR::SHADER::PROGRAM::LINKING_FAILED\n", 0),
        0u)
        << output;
    EXPECT_TRUE(glIsProgram(program.programId));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
