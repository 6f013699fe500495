#include "pipeline/DepthCubeMap.h"

#include "pipeline/PipelineConstants.h"

#include <iostream>

DepthCubeMap createDepthCubeMap() {
    DepthCubeMap depthMap;
    depthMap.width = kShadowSize;
    depthMap.height = kShadowSize;

    glGenTextures(1, &depthMap.cubeMap);
    glBindTexture(GL_TEXTURE_CUBE_MAP, depthMap.cubeMap);
    // Faces in the order +X, -X, +Y, -Y, +Z, -Z: layer i of the attachment is face i.
    for (int face = 0; face < kCubeFaces; ++face)
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_DEPTH_COMPONENT, depthMap.width,
                     depthMap.height, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    // The lit program compares distances itself, so the texels are read unfiltered.
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);

    glGenFramebuffers(1, &depthMap.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, depthMap.fbo);
    // glFramebufferTexture (not ...2D) attaches all six faces as layers; the depth program's
    // geometry stage picks the layer per primitive.
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthMap.cubeMap, 0);
    // Depth only: without these a framebuffer with no colour attachment is incomplete.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cout << "Framebuffer not complete!" << std::endl;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return depthMap;
}
