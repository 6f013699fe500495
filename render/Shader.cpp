#include "render/Shader.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Compile logs are read into a fixed buffer: a log is printed cut to its first 511 characters.
constexpr GLsizei kCompileLogSize = 512;

// Reads every stage file into its source string, in the order of the paths. Only a stream in
// the bad state raises: a file that does not exist leaves its source empty without a message,
// and the driver then reports the empty stage when compiling or linking.
std::vector<std::string> readStageFiles(const std::vector<const char*>& paths) {
    std::vector<std::string> sources(paths.size());
    std::vector<std::ifstream> files(paths.size());
    for (std::ifstream& file : files)
        file.exceptions(std::ifstream::badbit);
    try {
        for (size_t i = 0; i < paths.size(); ++i)
            files[i].open(paths[i]);
        std::vector<std::stringstream> texts(paths.size());
        for (size_t i = 0; i < paths.size(); ++i)
            texts[i] << files[i].rdbuf();
        for (std::ifstream& file : files)
            file.close();
        for (size_t i = 0; i < paths.size(); ++i)
            sources[i] = texts[i].str();
    } catch (const std::ifstream::failure&) {
        std::cout << "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ" << std::endl;
    }
    return sources;
}

// Compiles one stage. A failed stage is reported with its log and still returned: it stays
// attached to the program, whose link then fails too.
GLuint compileStage(GLenum stage, const std::string& source, const char* failureMessage,
                    char* log) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint success = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &success);
    if (!success) {
        // A driver may write nothing at all: the buffer is cleared so that only what it
        // filled is printed.
        std::fill(log, log + kCompileLogSize, '\0');
        glGetShaderInfoLog(shader, kCompileLogSize, nullptr, log);
        std::cout << failureMessage << log << std::endl;
    }
    return shader;
}

// Links the attached stages and reports a failed link with the program's whole log.
void linkProgram(GLuint program) {
    glLinkProgram(program);
    GLint success = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &success);
    if (success)
        return;
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    // GL_INFO_LOG_LENGTH counts the terminating NUL and is 0 for an empty log; one zeroed
    // byte at least keeps the printed text terminated whatever the driver writes.
    std::vector<char> log(static_cast<size_t>(std::max(length, 1)), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    std::cout << "ERROR::SHADER::PROGRAM::LINKING_FAILED\n" << log.data() << std::endl;
}

// Creates the program, links the stages into it in the given order, and leaves only the
// program behind: the stages are detached and deleted in that same order.
void buildProgram(GLuint& programId, std::initializer_list<GLuint> stages) {
    // The name is stored before linking, so a program that fails to link is still named.
    programId = glCreateProgram();
    for (GLuint stage : stages)
        glAttachShader(programId, stage);
    linkProgram(programId);
    for (GLuint stage : stages)
        glDetachShader(programId, stage);
    for (GLuint stage : stages)
        glDeleteShader(stage);
}

} // namespace

Shader::Shader(const char* vertexPath, const char* fragmentPath) {
    std::vector<std::string> sources = readStageFiles({vertexPath, fragmentPath});

    char log[kCompileLogSize] = {};
    GLuint vertex = compileStage(GL_VERTEX_SHADER, sources[0],
                                 "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n", log);
    GLuint fragment = compileStage(GL_FRAGMENT_SHADER, sources[1],
                                   "ERROR::SHADER::FRAGMENT::COMPILATION_FAILED\n", log);
    buildProgram(programId, {vertex, fragment});
}

Shader::Shader() {
    std::vector<std::string> sources =
        readStageFiles({"../Shader/DepthShader.vertex", "../Shader/DepthShader.fragment",
                        "../Shader/DepthShader.geometry"});

    // The three compile logs share one buffer; the geometry stage is compiled first.
    char log[kCompileLogSize] = {};
    GLuint geometry = compileStage(GL_GEOMETRY_SHADER, sources[2],
                                   "ERROR::SHADER::GEOMETRY::COMPILATION_FAILED\n", log);
    GLuint vertex = compileStage(GL_VERTEX_SHADER, sources[0],
                                 "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n", log);
    GLuint fragment = compileStage(GL_FRAGMENT_SHADER, sources[1],
                                   "ERROR::SHADER::FRAGMENT::COMPILATION_FAILED\n", log);
    buildProgram(programId, {vertex, fragment, geometry});
}
