#include "app/Programs.h"

Programs loadPrograms() {
    const Shader basicLightingBloom("../Shader/BasicLightingBloom.vertex",
                                    "../Shader/BasicLightingBloom.fragment");
    const Shader normalMapping("../Shader/NormalMapping.vertex",
                               "../Shader/NormalMapping.fragment");
    const Shader modelShader("../Shader/ModelShader.vertex", "../Shader/ModelShader.fragment");
    const Shader textShader("../Shader/TextShader.vertex", "../Shader/TextShader.fragment");
    const Shader basicLightingBloomShadow("../Shader/BasicLightingBloomShadow.vertex",
                                          "../Shader/BasicLightingBloomShadow.fragment");
    const Shader depthShader;
    const Shader blurShader("../Shader/BlurShader.vertex", "../Shader/BlurShader.fragment");
    const Shader bloomShader("../Shader/BloomShader.vertex", "../Shader/BloomShader.fragment");
    return Programs{{basicLightingBloom, normalMapping, modelShader, basicLightingBloomShadow,
                     depthShader, blurShader, bloomShader},
                    textShader};
}
